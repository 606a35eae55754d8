// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/OptimizationJob.h"

#include <QHash>
#include <QObject>
#include <QString>

class JobQueue;
class StatisticsTracker;

// The figures of the panel beside the files: the running batch's progress
// and savings, and the all-time saving. Counts are kept up to date job by
// job, so a queue of thousands of jobs costs little per change.
class StatsPanel : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint64 savedBytes READ savedBytes NOTIFY changed)
    Q_PROPERTY(double progress READ progress NOTIFY changed)
    Q_PROPERTY(bool isProcessing READ isProcessing NOTIFY changed)
    Q_PROPERTY(int finishedCount READ finishedCount NOTIFY changed)
    Q_PROPERTY(int jobCount READ jobCount NOTIFY changed)
    Q_PROPERTY(int failedCount READ failedCount NOTIFY changed)
    Q_PROPERTY(double savingsShare READ savingsShare NOTIFY changed)
    Q_PROPERTY(QString savingsShareText READ savingsShareText NOTIFY changed)
    Q_PROPERTY(QString madeSmallerText READ madeSmallerText NOTIFY changed)
    Q_PROPERTY(QString savedBytesText READ savedBytesText NOTIFY changed)
    Q_PROPERTY(QString originalBytesText READ originalBytesText NOTIFY changed)
    Q_PROPERTY(QString allTimeSavedText READ allTimeSavedText NOTIFY changed)
    Q_PROPERTY(QString sinceText READ sinceText NOTIFY changed)
    Q_PROPERTY(int notOptimizedCount READ notOptimizedCount NOTIFY changed)
    Q_PROPERTY(QString stoppedText READ stoppedText NOTIFY changed)

public:
    StatsPanel(JobQueue& queue, StatisticsTracker& tracker, QObject* parent = nullptr);

    qint64 savedBytes() const;
    // Finished jobs over all jobs; 0 without jobs.
    double progress() const;
    bool isProcessing() const;
    int finishedCount() const { return completed_ + failed_; }
    int jobCount() const { return int(shares_.size()); }
    int failedCount() const { return failed_; }
    // Jobs a Stop ended or never started; 0 while a batch runs.
    int notOptimizedCount() const { return isProcessing() ? 0 : cancelled_ + pending_; }
    QString stoppedText() const;
    // Bytes saved over the completed jobs' original bytes: the one saving
    // every view shows, so that the percentage and the sizes beside it agree.
    double savingsShare() const;
    QString savingsShareText() const;
    // "Files made smaller: 2 of 3", over the completed jobs.
    QString madeSmallerText() const;
    QString savedBytesText() const;
    // Original sizes of the completed jobs.
    QString originalBytesText() const;
    QString allTimeSavedText() const;
    QString sinceText() const;

    Q_INVOKABLE void stop();
    // Runs what a Stop left: the jobs never started, and the stopped ones again.
    Q_INVOKABLE void optimizeRest();

signals:
    void changed();

private:
    // What one job adds to the figures.
    struct Share {
        bool completed = false;
        bool failed = false;
        bool cancelled = false;
        bool pending = false;
        qint64 originalBytes = 0;
        bool saved = false;
        qint64 savedBytes = 0;
    };
    static Share shareOf(const OptimizationJob& job);
    void watch(int first, int last);
    void update(const OptimizationJob* job);
    void apply(const Share& share, int sign);

    JobQueue& queue_;
    StatisticsTracker& tracker_;
    QHash<const OptimizationJob*, Share> shares_;
    int completed_ = 0;
    int failed_ = 0;
    int cancelled_ = 0;
    int pending_ = 0;
    int savers_ = 0;
    qint64 completedOriginalBytes_ = 0;
    qint64 completedSavedBytes_ = 0;
};
