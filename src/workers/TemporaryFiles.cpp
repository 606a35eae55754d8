// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/TemporaryFiles.h"

#include "platform/Paths.h"

#include <QCoreApplication>
#include <QCoroFuture>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QUuid>
#include <QtConcurrent/QtConcurrentRun>

#include <map>
#include <memory>

#include <cerrno>
#include <signal.h>
#include <unistd.h>

namespace TemporaryFiles {

namespace {

QMutex foldersMutex;

// One private folder per temporary root (tests change TMPDIR), kept for the
// life of the process.
std::map<QString, std::unique_ptr<QTemporaryDir>>& folders()
{
    static std::map<QString, std::unique_ptr<QTemporaryDir>> map;
    return map;
}

// The TMPDIR value and folder directory() last answered.
struct Known {
    QByteArray tmpdir;
    QString path;
};
Known& known()
{
    static Known last;
    return last;
}

QString folderPrefix(qint64 pid)
{
    return QStringLiteral("Pressly.%1.").arg(pid);
}

// One thread, so removals run in the order asked and a later task marks the
// end of all earlier ones.
QThreadPool& removalPool()
{
    static QThreadPool* pool = [] {
        auto* created = new QThreadPool;
        created->setMaxThreadCount(1);
        return created;
    }();
    return *pool;
}

bool processIsGone(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

} // namespace

QString freshUUID()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

QString copyFile(const QString& from, const QString& to)
{
    QFile source(from);
    if (source.copy(to))
        return {};
    return source.errorString().isEmpty() ? QCoreApplication::translate("TemporaryFiles", "Could not copy the file")
                                          : source.errorString();
}

int removeStale(const QString& temporaryRoot)
{
    int removed = 0;
    const QFileInfoList entries = QDir(temporaryRoot)
                                      .entryInfoList({QStringLiteral("Pressly.*")},
                                                     QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& entry : entries) {
        const QStringList parts = entry.fileName().split(QLatin1Char('.'));
        bool isNumber = false;
        const qint64 pid = parts.size() == 3 ? parts[1].toLongLong(&isNumber) : 0;
        if (!isNumber || entry.isSymLink() || entry.ownerId() != ::getuid() || !processIsGone(pid))
            continue;
        if (QDir(entry.filePath()).removeRecursively())
            ++removed;
    }
    return removed;
}

QString directory()
{
    const QString root = QDir(Paths::temporaryDir()).absolutePath();
    QMutexLocker lock(&foldersMutex);
    auto& dir = folders()[root];
    if (!dir || !dir->isValid() || !QFileInfo(dir->path()).isDir()) {
        removeStale(root);
        dir = std::make_unique<QTemporaryDir>(root + QLatin1Char('/') + folderPrefix(qint64(::getpid())) + "XXXXXX");
        if (!dir->isValid()) {
            dir.reset();
            known() = {};
            return {};
        }
    }
    known() = {qgetenv("TMPDIR"), dir->path()};
    return dir->path();
}

QString knownDirectory()
{
    {
        QMutexLocker lock(&foldersMutex);
        if (!known().path.isEmpty() && known().tmpdir == qgetenv("TMPDIR"))
            return known().path;
    }
    return directory();
}

QUrl makeURL(const QString& middle, const QString& extension)
{
    const QString dir = knownDirectory();
    // Never a name relative to the current folder: without our folder every write fails.
    if (dir.isEmpty())
        return {};
    const QString name = QStringLiteral("Pressly.%1.%2.%3").arg(middle, freshUUID(), extension);
    return QUrl::fromLocalFile(QDir(dir).filePath(name));
}

bool isOurs(const QString& path)
{
    const QFileInfo info(path);
    if (!info.fileName().startsWith(QLatin1String("Pressly.")))
        return false;
    const QString parent = QDir(info.absolutePath()).canonicalPath();
    QMutexLocker lock(&foldersMutex);
    for (const auto& [root, dir] : folders())
        if (dir && !parent.isEmpty() && QDir(dir->path()).canonicalPath() == parent)
            return true;
    return false;
}

void removeIfOurs(const QString& path)
{
    if (isOurs(path))
        QFile::remove(path);
}

void removeLater(const QString& path)
{
    removalPool().start([path] { removeIfOurs(path); });
}

QCoro::Task<> removalsDone()
{
    co_await QtConcurrent::run(&removalPool(), [] {});
}

void removeAll()
{
    QMutexLocker lock(&foldersMutex);
    folders().clear();
    known() = {};
}

} // namespace TemporaryFiles
