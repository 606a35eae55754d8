// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/FolderWatchFeed.h"
#include "platform/EventLoop.h"
#include "platform/FolderWatchLock.h"

#include <QCoroTask>
#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
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

    // Answers a usage error, if any: a path that is there but is no folder, or
    // every folder watched by another Pressly Pro.
    QString start(const QStringList& folders);
    QCoro::Task<> untilStopped();
    void stop();

private:
    Say say_;
    FolderWatchFeed feed_;
    std::vector<std::unique_ptr<FolderWatchLock>> locks_;
    bool stopped_ = false;
    EventLoop::Notifier stoppedNotifier_;
};
