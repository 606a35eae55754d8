// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/FileSettler.h"
#include "platform/EventLoop.h"
#include "platform/FolderWatcher.h"

#include <QCoroTask>
#include <QObject>

#include <chrono>
#include <functional>

class JobQueue;
class OptimizationJob;

// `pressly --watch`: the folders' new images join the queue once they have
// settled, until `stop`. What the queue finishes (or a run places) is told to
// the settler, so that our own results never start another run.
class FolderWatchRun : public QObject {
    Q_OBJECT
public:
    // Tells the user what happened to the folders themselves.
    using Say = std::function<void(const QString&)>;
    FolderWatchRun(JobQueue& queue, std::chrono::milliseconds settle, Say say);

    // Answers a usage error, if any: a path that is there but is no folder.
    QString start(const QStringList& folders);
    QCoro::Task<> untilStopped();
    void stop();

private:
    void follow(OptimizationJob& job);

    JobQueue& queue_;
    Say say_;
    FolderWatcher watcher_;
    FileSettler settler_;
    bool stopped_ = false;
    EventLoop::Notifier stoppedNotifier_;
};
