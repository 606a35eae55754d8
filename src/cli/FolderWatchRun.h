// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/BatchSettings.h"
#include "jobs/FolderWatchFeed.h"
#include "jobs/WatchedFolder.h"
#include "platform/EventLoop.h"
#include "platform/FolderWatchLock.h"

#include <QCoroTask>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class JobQueue;

// `pressly --watch`: the folders' new images join the queue once they have
// settled, until `stop`. A folder another Pressly Pro watches is left to it.
class FolderWatchRun : public QObject {
    Q_OBJECT
public:
    // Tells the user what happened to the folders themselves.
    using Say = std::function<void(const QString&)>;
    FolderWatchRun(JobQueue& queue, std::chrono::milliseconds settle, Say say);
    ~FolderWatchRun() override;

    // Answers a usage error, if any: a path that is there but is no folder, or
    // every folder watched by another Pressly Pro.
    QString start(const QStringList& folders);
    // The settings' watched folders, each with its own mode and preset. Folders
    // the window holds are tried again until it lets go, and the list follows
    // the settings file.
    void startStored(const QString& settingsFile);
    QCoro::Task<> untilStopped();
    void stop();

private:
    struct Folder {
        QString path;
        std::optional<BatchSettings> settings;
        std::unique_ptr<FolderWatchLock> lock;
        std::unique_ptr<FolderWatchFeed> feed;
    };
    // False when another Pressly Pro holds the folder.
    bool take(Folder& folder);
    void retryHeld();
    void reloadStored();
    void sayWatching();

    JobQueue& queue_;
    const std::chrono::milliseconds settle_;
    Say say_;
    std::vector<Folder> folders_;
    QList<WatchedFolder> stored_;
    bool paused_ = false;
    bool loaded_ = false;
    QTimer retry_;
    QFileSystemWatcher settingsWatcher_;
    QTimer reload_;
    bool stopped_ = false;
    EventLoop::Notifier stoppedNotifier_;
};
