// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/FolderWatchRun.h"

#include "cli/TerminalText.h"
#include "jobs/JobQueue.h"

#include <QCoreApplication>
#include <QFileInfo>

FolderWatchRun::FolderWatchRun(JobQueue& queue, std::chrono::milliseconds settle, Say say)
    : queue_(queue), say_(std::move(say)), settler_(settle)
{
    connect(&watcher_, &FolderWatcher::fileWritten, &settler_, &FileSettler::noticed);
    connect(&watcher_, &FolderWatcher::fileModified, &settler_, &FileSettler::modified);
    connect(&watcher_, &FolderWatcher::rootLost, this, [this](const QString& root) {
        say_(QCoreApplication::translate("FolderWatchRun",
                                         "%1: the watched folder is gone; watching resumes when it is back")
                 .arg(TerminalText::quoted(root)));
    });
    connect(&watcher_, &FolderWatcher::rootReturned, this, [this](const QString& root) {
        say_(QCoreApplication::translate("FolderWatchRun", "%1: the watched folder is there; watching it")
                 .arg(TerminalText::quoted(root)));
    });
    connect(&watcher_, &FolderWatcher::overflowed, this, [this] {
        say_(QCoreApplication::translate("FolderWatchRun",
                                         "too many changes at once to follow; the folders were looked through again"));
    });
    connect(&settler_, &FileSettler::ready, this, [this](const QStringList& paths) {
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        queue_.addFiles(urls);
    });
    connect(&queue_, &JobQueue::jobsAdded, this, [this](int first, int last) {
        for (int index = first; index <= last; ++index)
            follow(*queue_.jobs().at(index));
    });
}

QString FolderWatchRun::start(const QStringList& folders)
{
    if (QString why; !watcher_.isValid(&why))
        return QCoreApplication::translate("FolderWatchRun", "cannot watch folders: %1").arg(why);
    for (const QString& folder : folders) {
        const QFileInfo info(folder);
        if (info.exists() && !info.isDir())
            return QCoreApplication::translate("FolderWatchRun", "%1 is not a folder: --watch takes folders")
                .arg(TerminalText::quoted(folder));
    }
    for (const QString& folder : folders)
        if (!watcher_.addRoot(folder))
            say_(QCoreApplication::translate("FolderWatchRun", "%1: no such folder; watching begins when it is there")
                     .arg(TerminalText::quoted(folder)));
    const int count = watcher_.watchedFolders();
    say_(count == 1 ? QCoreApplication::translate(
             "FolderWatchRun", "watching 1 folder; new images are taken once they settle (Ctrl+C stops)")
                    : QCoreApplication::translate(
                          "FolderWatchRun", "watching %1 folders; new images are taken once they settle (Ctrl+C stops)")
                          .arg(count));
    return {};
}

void FolderWatchRun::follow(OptimizationJob& job)
{
    const auto ended = [this, raw = &job] {
        if (!isFinal(raw->status()))
            return false;
        settler_.finished(raw->fileURL().toLocalFile());
        // An export folder inside a watched one must not feed itself.
        if (raw->exportedLocation().isLocalFile())
            settler_.finished(raw->exportedLocation().toLocalFile());
        return true;
    };
    if (ended())
        return;
    connect(&job, &OptimizationJob::statusChanged, this, ended);
}

QCoro::Task<> FolderWatchRun::untilStopped()
{
    if (!stopped_)
        co_await stoppedNotifier_.wait();
}

void FolderWatchRun::stop()
{
    if (stopped_)
        return;
    stopped_ = true;
    settler_.disconnect(this);
    watcher_.disconnect();
    stoppedNotifier_.notifyAll();
}
