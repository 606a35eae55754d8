// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StatsPanel.h"

#include "jobs/JobQueue.h"
#include "platform/ByteCountFormatter.h"
#include "store/StatisticsTracker.h"

#include <QLocale>

#include <algorithm>

StatsPanel::StatsPanel(JobQueue& queue, StatisticsTracker& tracker, QObject* parent)
    : QObject(parent), queue_(queue), tracker_(tracker)
{
    watch(0, queue.jobCount() - 1);
    connect(&queue, &JobQueue::jobsAdded, this, &StatsPanel::watch);
    connect(&queue, &JobQueue::isProcessingChanged, this, &StatsPanel::changed);
    connect(&queue, &JobQueue::totalsChanged, this, &StatsPanel::changed);
    connect(&tracker, &StatisticsTracker::totalBytesSavedChanged, this, &StatsPanel::changed);
    connect(&tracker, &StatisticsTracker::startDateTimestampChanged, this, &StatsPanel::changed);
}

// Summed job by job, so the gauge grows while a batch runs instead of waiting for its end.
qint64 StatsPanel::savedBytes() const
{
    return completedSavedBytes_;
}

double StatsPanel::progress() const
{
    return shares_.isEmpty() ? 0.0 : double(finishedCount()) / double(shares_.size());
}

bool StatsPanel::isProcessing() const
{
    return queue_.isProcessing();
}

double StatsPanel::savingsShare() const
{
    return completedOriginalBytes_ > 0 ? double(completedSavedBytes_) / double(completedOriginalBytes_) : 0.0;
}

QString StatsPanel::savingsShareText() const
{
    return QLocale().toString(savingsShare() * 100.0, 'f', 1);
}

QString StatsPanel::madeSmallerText() const
{
    return tr("Files made smaller: %1 of %Ln", nullptr, completed_).arg(QLocale().toString(savers_));
}

QString StatsPanel::savedBytesText() const
{
    return ByteCountFormatter::format(savedBytes());
}

QString StatsPanel::originalBytesText() const
{
    return ByteCountFormatter::format(completedOriginalBytes_);
}

QString StatsPanel::allTimeSavedText() const
{
    return ByteCountFormatter::format(tracker_.totalBytesSaved());
}

QString StatsPanel::sinceText() const
{
    return tr("Since %1").arg(tracker_.startDateLabel());
}

void StatsPanel::stop()
{
    queue_.cancelProcessing();
}

QString StatsPanel::stoppedText() const
{
    return tr("Stopped — %Ln not optimized", nullptr, notOptimizedCount());
}

void StatsPanel::optimizeRest()
{
    queue_.resumeStopped();
}

StatsPanel::Share StatsPanel::shareOf(const OptimizationJob& job)
{
    Share share;
    share.completed = job.status() == JobStatus::completed;
    share.failed = job.status() == JobStatus::failed;
    share.cancelled = job.status() == JobStatus::cancelled;
    share.pending = job.status() == JobStatus::pending;
    share.originalBytes = share.completed ? job.originalSize() : 0;
    share.saved = JobQueue::savedBytes(job);
    share.savedBytes = share.saved ? JobQueue::savingInBytes(job) : 0;
    return share;
}

// The figures change once per group of jobs: each change redraws the panel.
void StatsPanel::watch(int first, int last)
{
    for (int index = std::max(first, 0); index <= last; ++index) {
        const auto job = queue_.jobs().value(index);
        if (!job || shares_.contains(job.get()))
            continue;
        const OptimizationJob* raw = job.get();
        const Share share = shareOf(*job);
        shares_.insert(raw, share);
        apply(share, +1);
        const auto changed = [this, raw] { update(raw); };
        connect(raw, &OptimizationJob::statusChanged, this, changed);
        connect(raw, &OptimizationJob::optimizedSizeChanged, this, changed);
        connect(raw, &OptimizationJob::isRestoredChanged, this, changed);
    }
    if (last >= first)
        emit this->changed();
}

// The queue keeps every job for the window's life, so `job` is alive here.
void StatsPanel::update(const OptimizationJob* job)
{
    const auto found = shares_.find(job);
    if (found == shares_.end())
        return;
    apply(*found, -1);
    *found = shareOf(*job);
    apply(*found, +1);
    emit changed();
}

void StatsPanel::apply(const Share& share, int sign)
{
    completed_ += share.completed ? sign : 0;
    failed_ += share.failed ? sign : 0;
    cancelled_ += share.cancelled ? sign : 0;
    pending_ += share.pending ? sign : 0;
    completedOriginalBytes_ += sign * share.originalBytes;
    completedSavedBytes_ += sign * share.savedBytes;
    savers_ += share.saved ? sign : 0;
}
