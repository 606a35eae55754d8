// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/ToolProbe.h"

#include <QCoroFuture>
#include <QFileInfo>
#include <QFuture>
#include <QHash>
#include <QMutex>
#include <QPromise>

#include <sys/stat.h>

#include <memory>

namespace {

struct Answers {
    QMutex mutex;
    QHash<QString, QFuture<ToolProbe::Answer>> byKey;
};

Answers& answers()
{
    static Answers instance;
    return instance;
}

} // namespace

QString ToolProbe::keyOf(const QString& toolPath)
{
    struct stat info { };
    if (::stat(QFile::encodeName(toolPath).constData(), &info) != 0)
        return toolPath;
    return QStringLiteral("%1|%2|%3|%4.%5")
        .arg(toolPath)
        .arg(qulonglong(info.st_ino))
        .arg(qlonglong(info.st_size))
        .arg(qlonglong(info.st_mtim.tv_sec))
        .arg(qlonglong(info.st_mtim.tv_nsec));
}

QCoro::Task<ToolProbe::Answer> ToolProbe::ask(QString toolPath, Run run)
{
    const QString key = keyOf(toolPath);
    auto& store = answers();
    std::shared_ptr<QPromise<Answer>> promise;
    QFuture<Answer> known;
    {
        QMutexLocker lock(&store.mutex);
        if (const auto found = store.byKey.constFind(key); found != store.byKey.cend()) {
            known = *found;
        } else {
            promise = std::make_shared<QPromise<Answer>>();
            promise->start();
            store.byKey.insert(key, promise->future());
        }
    }
    if (!promise) {
        co_await qCoro(known).waitForFinished();
        if (known.resultCount() > 0)
            co_return known.result();
        // The first asker went away before its run ended: ask afresh.
        {
            QMutexLocker lock(&store.mutex);
            const auto stored = store.byKey.constFind(key);
            if (stored != store.byKey.cend() && stored->isFinished() && stored->resultCount() == 0)
                store.byKey.remove(key);
        }
        const QString path = toolPath;
        Run again = std::move(run);
        auto retried = co_await ask(path, std::move(again));
        co_return retried;
    }
    const Answer answer = co_await run();
    promise->addResult(answer);
    promise->finish();
    co_return answer;
}
