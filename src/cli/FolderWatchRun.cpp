// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/FolderWatchRun.h"

#include "cli/TerminalText.h"
#include "jobs/UserPreferences.h"
#include "platform/KeyValueStore.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

FolderWatchRun::FolderWatchRun(JobQueue& queue, std::chrono::milliseconds settle, Say say)
    : queue_(queue), settle_(settle), say_(std::move(say))
{
    // The window may let go at any time, as it retries the service's folders.
    retry_.setInterval(3000);
    connect(&retry_, &QTimer::timeout, this, &FolderWatchRun::retryHeld);
    // One save comes as several events: the file is read once after them.
    reload_.setSingleShot(true);
    reload_.setInterval(200);
    connect(&reload_, &QTimer::timeout, this, &FolderWatchRun::reloadStored);
    connect(&settingsWatcher_, &QFileSystemWatcher::fileChanged, &reload_, qOverload<>(&QTimer::start));
    connect(&settingsWatcher_, &QFileSystemWatcher::directoryChanged, &reload_, qOverload<>(&QTimer::start));
}

FolderWatchRun::~FolderWatchRun() = default;

QString FolderWatchRun::start(const QStringList& folders)
{
    if (QString why; !FolderWatcher().isValid(&why))
        return tr("cannot watch folders: %1").arg(why);
    for (const QString& folder : folders) {
        const QFileInfo info(folder);
        if (info.exists() && !info.isDir())
            return tr("%1 is not a folder: --watch takes folders").arg(TerminalText::quoted(folder));
    }
    for (const QString& path : folders) {
        folders_.push_back(Folder{path, std::nullopt, {}, {}});
        if (take(folders_.back()))
            continue;
        say_(tr("%1: another Pressly Pro watches this folder; skipped").arg(TerminalText::quoted(path)));
        folders_.pop_back();
    }
    if (folders_.empty())
        return tr("every folder given is watched by another Pressly Pro; nothing to watch");
    sayWatching();
    return {};
}

void FolderWatchRun::startStored(const QString& settingsFile)
{
    // A save replaces the file, which the directory's watch sees.
    settingsWatcher_.addPath(QFileInfo(settingsFile).absolutePath());
    settingsWatcher_.addPath(settingsFile);
    reloadStored();
}

bool FolderWatchRun::take(Folder& folder)
{
    folder.lock = FolderWatchLock::take(folder.path);
    if (!folder.lock)
        return false;
    folder.feed = std::make_unique<FolderWatchFeed>(queue_, settle_, folder.settings);
    const FolderWatcher* watcher = &folder.feed->watcher();
    connect(watcher, &FolderWatcher::rootLost, this, [this](const QString& root) {
        say_(tr("%1: the watched folder is gone; watching resumes when it is back").arg(TerminalText::quoted(root)));
    });
    connect(watcher, &FolderWatcher::rootReturned, this, [this](const QString& root) {
        say_(tr("%1: the watched folder is there; watching it").arg(TerminalText::quoted(root)));
    });
    connect(watcher, &FolderWatcher::overflowed, this,
            [this] { say_(tr("too many changes at once to follow; the folders were looked through again")); });
    if (!folder.feed->addRoot(folder.path))
        say_(tr("%1: no such folder; watching begins when it is there").arg(TerminalText::quoted(folder.path)));
    return true;
}

void FolderWatchRun::retryHeld()
{
    bool stillHeld = false;
    for (Folder& folder : folders_) {
        if (folder.lock)
            continue;
        if (take(folder))
            say_(tr("%1: the other Pressly Pro let go of this folder; watching it")
                     .arg(TerminalText::quoted(folder.path)));
        else
            stillHeld = true;
    }
    if (!stillHeld)
        retry_.stop();
}

void FolderWatchRun::reloadStored()
{
    if (stopped_)
        return;
    KeyValueStore& store = KeyValueStore::standard();
    store.sync();
    if (!settingsWatcher_.files().contains(store.fileName()))
        settingsWatcher_.addPath(store.fileName());
    const bool paused = UserPreferences::shared().watchingPaused();
    const QList<WatchedFolder> wanted = paused ? QList<WatchedFolder>{} : UserPreferences::shared().watchedFolders();
    const bool changed = !loaded_ || paused != paused_ || wanted != stored_;
    loaded_ = true;
    paused_ = paused;
    stored_ = wanted;
    // A folder no longer listed is let go; new settings (the export folder's
    // too) apply to files that settle from now on.
    std::erase_if(folders_, [&](Folder& folder) {
        const auto listed = std::find_if(wanted.begin(), wanted.end(),
                                         [&](const WatchedFolder& each) { return each.path == folder.path; });
        if (listed == wanted.end() && folder.feed)
            folder.feed->stop();
        if (listed == wanted.end())
            return true;
        folder.settings = listed->batchSettings();
        if (folder.feed)
            folder.feed->setSettings(*folder.settings);
        return false;
    });
    for (const WatchedFolder& each : wanted) {
        if (std::any_of(folders_.begin(), folders_.end(),
                        [&](const Folder& folder) { return folder.path == each.path; }))
            continue;
        folders_.push_back(Folder{each.path, each.batchSettings(), {}, {}});
        if (take(folders_.back()))
            continue;
        say_(tr("%1: the window watches this folder; it is taken over when the window lets go")
                 .arg(TerminalText::quoted(each.path)));
        retry_.start();
    }
    if (!changed)
        return;
    if (paused)
        say_(tr("watching is paused in the settings; the folders are left until it resumes"));
    else if (wanted.isEmpty())
        say_(tr("the settings list no watched folders; waiting until some are added"));
    else
        sayWatching();
}

void FolderWatchRun::sayWatching()
{
    int count = 0;
    for (const Folder& folder : folders_)
        count += folder.feed ? folder.feed->watcher().watchedFolders() : 0;
    say_(count == 1 ? tr("watching 1 folder; new images are taken once they settle (Ctrl+C stops)")
                    : tr("watching %1 folders; new images are taken once they settle (Ctrl+C stops)").arg(count));
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
    retry_.stop();
    reload_.stop();
    for (Folder& folder : folders_)
        if (folder.feed)
            folder.feed->stop();
    stoppedNotifier_.notifyAll();
}
