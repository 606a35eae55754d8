// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/FileSettler.h"

#include "platform/BackgroundTask.h"
#include "platform/OpenForWriting.h"
#include "workers/IOFileType.h"

#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>

#include <algorithm>

FileSettler::FileSettler(std::chrono::milliseconds settle, QObject* parent) : QObject(parent), settleMs_(settle.count())
{
    clock_.start();
    tick_.setInterval(int(std::clamp<qint64>(settleMs_ / 4, 50, 250)));
    connect(&tick_, &QTimer::timeout, this, &FileSettler::check);
}

bool FileSettler::isIgnoredName(const QString& fileName)
{
    static const QStringList partial{QStringLiteral(".part"), QStringLiteral(".crdownload"),
                                     QStringLiteral(".download"), QStringLiteral(".tmp"), QStringLiteral("~")};
    return fileName.startsWith(QLatin1Char('.'))
           || std::any_of(partial.begin(), partial.end(),
                          [&](const QString& suffix) { return fileName.endsWith(suffix, Qt::CaseInsensitive); });
}

void FileSettler::noticed(const QString& path)
{
    if (isIgnoredName(QFileInfo(path).fileName()))
        return;
    // Its form is taken at the first look; the clock runs from now.
    waiting_.insert(path, {{}, false, clock_.elapsed(), nextOrder_++});
    if (!tick_.isActive())
        tick_.start();
}

void FileSettler::modified(const QString& path)
{
    const auto found = waiting_.find(path);
    if (found != waiting_.end())
        found->since = clock_.elapsed();
}

// It stays busy until its form is known, so it cannot be handed on meanwhile.
void FileSettler::finished(const QString& path)
{
    finishing_.append(path);
    if (!looking_)
        startLook(false);
}

// A link's target may lie anywhere: only files in the folders themselves are ours.
FileSettler::Form FileSettler::formOf(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile())
        return {};
    return {info.size(), info.lastModified().toMSecsSinceEpoch()};
}

bool FileSettler::isImage(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && IOFileTypes::fromContent(file.read(IOFileTypes::contentProbeLength));
}

// A look still under way is not joined by another: the next one looks again.
void FileSettler::check()
{
    if (looking_)
        tickMissed_ = true;
    else
        startLook(true);
}

void FileSettler::startLook(bool atWaiting)
{
    looking_ = true;
    const QStringList finished = std::exchange(finishing_, {});
    const QHash<QString, Waiting> waiting = atWaiting ? waiting_ : QHash<QString, Waiting>();
    auto* look = new QFutureWatcher<Look>(this);
    connect(look, &QFutureWatcherBase::finished, this, [this, look] {
        look->deleteLater();
        looking_ = false;
        weigh(look->result());
        // Files ending one after another must not keep the waiting ones from being looked at.
        if (tickMissed_ || !finishing_.isEmpty())
            startLook(std::exchange(tickMissed_, false));
    });
    look->setFuture(BackgroundTask::run([waiting, finished, busy = busy_, at = clock_.elapsed(), settle = settleMs_] {
        return lookAt(waiting, finished, busy, at, settle);
    }));
}

// A writer that pauses longer than the settle time has not finished: what it
// holds open waits for it to close.
FileSettler::Look FileSettler::lookAt(const QHash<QString, Waiting>& waiting, const QStringList& finished,
                                      const QSet<QString>& busy, qint64 at, qint64 settleMs)
{
    Look look;
    look.at = at;
    for (const QString& path : finished)
        look.finished.insert(path, formOf(path));
    QStringList due;
    for (auto it = waiting.cbegin(); it != waiting.cend(); ++it) {
        const Form form = formOf(it.key());
        look.seen.insert(it.key(), {it->order, form});
        if (it->looked && form.size >= 0 && form == it->form && at - it->since >= settleMs && !busy.contains(it.key()))
            due.append(it.key());
    }
    if (due.isEmpty())
        return look;
    look.held = OpenForWriting::among(due);
    for (const QString& path : std::as_const(due)) {
        if (look.held.contains(path))
            continue;
        look.checked.insert(path);
        if (isImage(path))
            look.images.insert(path);
    }
    return look;
}

// What changed since the look began counts: a file noticed again or written
// to meanwhile waits for the next look.
void FileSettler::weigh(const Look& look)
{
    for (auto it = look.finished.cbegin(); it != look.finished.cend(); ++it) {
        busy_.remove(it.key());
        done_.insert(it.key(), it.value());
    }
    QList<std::pair<quint64, QString>> settled;
    for (auto seen = look.seen.cbegin(); seen != look.seen.cend(); ++seen) {
        const QString& path = seen.key();
        const auto [order, form] = seen.value();
        const auto found = waiting_.find(path);
        if (found == waiting_.end() || found->order != order)
            continue;
        if (form.size < 0) {
            waiting_.erase(found);
            continue;
        }
        if (!found->looked || form != found->form) {
            if (found->looked)
                found->since = look.at;
            found->form = form;
            found->looked = true;
            continue;
        }
        // One being optimized waits for its job: if it changes meanwhile, it goes again.
        if (look.at - found->since < settleMs_ || busy_.contains(path))
            continue;
        if (look.held.contains(path)) {
            found->since = look.at;
            continue;
        }
        if (!look.checked.contains(path))
            continue;
        waiting_.erase(found);
        if (done_.value(path) == form)
            continue;
        if (!look.images.contains(path)) {
            done_.insert(path, form);
            continue;
        }
        busy_.insert(path);
        settled.append({order, path});
    }
    if (waiting_.isEmpty())
        tick_.stop();
    if (settled.isEmpty())
        return;
    std::sort(settled.begin(), settled.end());
    QStringList paths;
    for (const auto& [order, path] : std::as_const(settled))
        paths.append(path);
    emit ready(paths);
}
