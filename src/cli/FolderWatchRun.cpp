// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/FolderWatchRun.h"

#include "cli/TerminalText.h"

#include <QCoreApplication>
#include <QFileInfo>

FolderWatchRun::FolderWatchRun(JobQueue& queue, std::chrono::milliseconds settle, Say say)
    : say_(std::move(say)), feed_(queue, settle)
{
    const FolderWatcher* watcher = &feed_.watcher();
    connect(watcher, &FolderWatcher::rootLost, this, [this](const QString& root) {
        say_(QCoreApplication::translate("FolderWatchRun",
                                         "%1: the watched folder is gone; watching resumes when it is back")
                 .arg(TerminalText::quoted(root)));
    });
    connect(watcher, &FolderWatcher::rootReturned, this, [this](const QString& root) {
        say_(QCoreApplication::translate("FolderWatchRun", "%1: the watched folder is there; watching it")
                 .arg(TerminalText::quoted(root)));
    });
    connect(watcher, &FolderWatcher::overflowed, this, [this] {
        say_(QCoreApplication::translate("FolderWatchRun",
                                         "too many changes at once to follow; the folders were looked through again"));
    });
}

QString FolderWatchRun::start(const QStringList& folders)
{
    if (QString why; !feed_.watcher().isValid(&why))
        return QCoreApplication::translate("FolderWatchRun", "cannot watch folders: %1").arg(why);
    for (const QString& folder : folders) {
        const QFileInfo info(folder);
        if (info.exists() && !info.isDir())
            return QCoreApplication::translate("FolderWatchRun", "%1 is not a folder: --watch takes folders")
                .arg(TerminalText::quoted(folder));
    }
    int held = 0;
    for (const QString& folder : folders) {
        auto lock = FolderWatchLock::take(folder);
        if (!lock) {
            say_(QCoreApplication::translate("FolderWatchRun", "%1: another Pressly Pro watches this folder; skipped")
                     .arg(TerminalText::quoted(folder)));
            continue;
        }
        locks_.push_back(std::move(lock));
        ++held;
        if (!feed_.addRoot(folder))
            say_(QCoreApplication::translate("FolderWatchRun", "%1: no such folder; watching begins when it is there")
                     .arg(TerminalText::quoted(folder)));
    }
    if (held == 0)
        return QCoreApplication::translate("FolderWatchRun",
                                           "every folder given is watched by another Pressly Pro; nothing to watch");
    const int count = feed_.watcher().watchedFolders();
    say_(count == 1 ? QCoreApplication::translate(
             "FolderWatchRun", "watching 1 folder; new images are taken once they settle (Ctrl+C stops)")
                    : QCoreApplication::translate(
                          "FolderWatchRun", "watching %1 folders; new images are taken once they settle (Ctrl+C stops)")
                          .arg(count));
    return {};
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
    feed_.stop();
    stoppedNotifier_.notifyAll();
}
