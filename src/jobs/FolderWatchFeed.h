// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/BatchSettings.h"
#include "jobs/FileSettler.h"
#include "platform/FolderWatcher.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <chrono>
#include <optional>

class JobQueue;
class OptimizationJob;

// Watched folders feeding a queue: their new images join it once settled.
// What the queue finishes (or exports) under them is told to the settler, so
// that our own results never start another run.
class FolderWatchFeed : public QObject {
    Q_OBJECT
public:
    // Without settings of its own, files join with the queue's of that moment.
    FolderWatchFeed(JobQueue& queue, std::chrono::milliseconds settle,
                    std::optional<BatchSettings> settings = std::nullopt, QObject* parent = nullptr);

    FolderWatcher& watcher() { return watcher_; }
    bool addRoot(const QString& folder);
    void setSettings(const BatchSettings& settings) { settings_ = settings; }
    // Nothing more joins the queue; what is under way ends as it would.
    void stop();

signals:
    // Every file handed on has ended: one burst of arrivals, however many
    // groups it settled in while the first ones ran.
    void burstFinished(int images, qint64 savedBytes);

private:
    void take(const QStringList& paths);
    void follow(OptimizationJob& job);
    void ended(const OptimizationJob& job);
    bool isOurs(const QString& path) const;

    JobQueue& queue_;
    std::optional<BatchSettings> settings_;
    FolderWatcher watcher_;
    FileSettler settler_;
    QStringList roots_;
    QSet<QString> outstanding_;
    int burstImages_ = 0;
    qint64 burstSaved_ = 0;
};
