// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FolderWatcher.h"

#include "platform/BackgroundTask.h"
#include "platform/Log.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

constexpr quint32 folderMask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_MODIFY | IN_DELETE_SELF
                               | IN_MOVE_SELF | IN_ONLYDIR | IN_DONT_FOLLOW;

bool isHidden(const QString& name)
{
    return name.startsWith(QLatin1Char('.'));
}

struct Listing {
    QStringList folders;
    QStringList files;
};

Listing listingOf(const QString& folder, bool withFiles, const QDateTime& changedSince)
{
    Listing found;
    QDirIterator entries(folder, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo entry = entries.fileInfo();
        if (isHidden(entry.fileName()))
            continue;
        if (entry.isDir())
            found.folders.append(entry.filePath());
        else if (withFiles && (!changedSince.isValid() || entry.metadataChangeTime() >= changedSince))
            found.files.append(entry.filePath());
    }
    return found;
}

} // namespace

FolderWatcher::FolderWatcher(QObject* parent) : QObject(parent), startedAt_(QDateTime::currentDateTimeUtc())
{
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &FolderWatcher::readEvents);
    lookAgain_.setInterval(2000);
    connect(&lookAgain_, &QTimer::timeout, this, &FolderWatcher::lookForLostRoots);
}

FolderWatcher::~FolderWatcher()
{
    notifier_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

bool FolderWatcher::isValid(QString* why) const
{
    if (why && fd_ < 0)
        *why = QString::fromLocal8Bit(std::strerror(error_));
    return fd_ >= 0;
}

bool FolderWatcher::addRoot(const QString& folder)
{
    const QString root = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    roots_.append(root);
    // The watch itself fails for what is not a folder, without a look of ours at the disk.
    if (watchOne(root, true)) {
        walkLater(root, {.reportFiles = false, .intoWatched = false, .changedSince = {}});
        return true;
    }
    lost_.insert(root);
    lookAgain_.start();
    return false;
}

bool FolderWatcher::watchOne(const QString& folder, bool mayBeMissing)
{
    if (fd_ < 0)
        return false;
    const int watch = inotify_add_watch(fd_, QFile::encodeName(folder).constData(), folderMask);
    if (watch < 0 && mayBeMissing && (errno == ENOENT || errno == ENOTDIR))
        return false;
    if (watch < 0) {
        // Out of watches (fs.inotify.max_user_watches) or gone already: said once per folder.
        qCWarning(lcJobs).noquote()
            << QStringLiteral("Cannot watch %1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    folderOf_.insert(watch, folder);
    watchOf_.insert(folder, watch);
    return true;
}

// Each folder is watched before it is listed, so a file written meanwhile is
// seen at least once; twice does no harm to a caller that waits for it to settle.
void FolderWatcher::walkLater(const QString& folder, const Walk& how)
{
    auto* walk = new QFutureWatcher<Listing>(this);
    connect(walk, &QFutureWatcherBase::finished, this, [this, walk, folder, how] {
        walk->deleteLater();
        // Moved away or gone meanwhile: its new place, if watched, is walked on its own.
        if (!watchOf_.contains(folder))
            return;
        const Listing found = walk->result();
        for (const QString& file : found.files)
            emit fileWritten(file);
        // One already watched was seen through its own event, after its watch began.
        for (const QString& below : found.folders)
            if (watchOf_.contains(below) ? how.intoWatched : watchOne(below))
                walkLater(below, how);
    });
    walk->setFuture(
        BackgroundTask::run([folder, how] { return listingOf(folder, how.reportFiles, how.changedSince); }));
}

void FolderWatcher::readEvents()
{
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t length = ::read(fd_, buffer, sizeof buffer);
        if (length <= 0)
            return;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            const QString name = event->len ? QFile::decodeName(event->name) : QString();
            handle(event->wd, event->mask, name);
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
}

void FolderWatcher::handle(int watch, quint32 mask, const QString& name)
{
    if (mask & IN_Q_OVERFLOW) {
        rescan();
        return;
    }
    const QString folder = folderOf_.value(watch);
    if (folder.isEmpty())
        return;
    if (mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED)) {
        if (roots_.contains(folder))
            lose(folder);
        else if (mask & IN_IGNORED)
            forgetTree(folder);
        return;
    }
    if (name.isEmpty() || isHidden(name))
        return;
    const QString path = folder + QLatin1Char('/') + name;
    if (mask & IN_ISDIR) {
        if (mask & IN_MOVED_FROM)
            forgetTree(path);
        // A link is never flagged as a folder, and the watch does not follow one. What arrives
        // is new to the very bottom, even where a silent first listing reached it before this event.
        else if ((mask & (IN_CREATE | IN_MOVED_TO)) && (watchOf_.contains(path) || watchOne(path)))
            walkLater(path, {.reportFiles = true, .intoWatched = true, .changedSince = {}});
        return;
    }
    if (mask & (IN_CLOSE_WRITE | IN_MOVED_TO))
        emit fileWritten(path);
    else if (mask & IN_CREATE)
        emit fileCreated(path);
    else if (mask & IN_MODIFY)
        emit fileModified(path);
}

void FolderWatcher::forgetTree(const QString& folder)
{
    const QString below = folder + QLatin1Char('/');
    for (auto it = watchOf_.begin(); it != watchOf_.end();) {
        if (it.key() == folder || it.key().startsWith(below)) {
            inotify_rm_watch(fd_, it.value());
            folderOf_.remove(it.value());
            it = watchOf_.erase(it);
        } else {
            ++it;
        }
    }
}

void FolderWatcher::lose(const QString& root)
{
    forgetTree(root);
    if (lost_.contains(root))
        return;
    lost_.insert(root);
    lookAgain_.start();
    emit rootLost(root);
}

void FolderWatcher::lookForLostRoots()
{
    for (const QString& root : QSet<QString>(lost_)) {
        if (!watchOne(root, true))
            continue;
        lost_.remove(root);
        walkLater(root, {.reportFiles = false, .intoWatched = false, .changedSince = {}});
        emit rootReturned(root);
    }
    if (lost_.isEmpty())
        lookAgain_.stop();
}

// Folders made meanwhile are watched now, and what changed since watching
// began is reported again: a caller that remembers what it handled skips it.
void FolderWatcher::rescan()
{
    for (const QString& root : std::as_const(roots_))
        if (!lost_.contains(root))
            walkLater(root, {.intoWatched = true, .changedSince = startedAt_});
    emit overflowed();
}
