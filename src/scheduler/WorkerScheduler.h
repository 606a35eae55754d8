// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/JobContext.h"
#include "core/WorkerResult.h"
#include "platform/CancellationFlag.h"
#include "workers/IOFile.h"
#include "workers/OptimizationWorker.h"

#include <QCoroTask>
#include <QStringList>

#include <functional>

#include <optional>
#include <vector>

// Runs one job's workers in two phases: the lossy ones one after another on the
// job's working file, then the lossless ones side by side on private copies.
// Answers the smallest result strictly smaller than the input, or nothing.
// Lives on the event-loop thread and keeps nothing between calls, so one
// scheduler serves every job; calls interleave at their waits.
class WorkerScheduler {
public:
    virtual ~WorkerScheduler() = default;

    // The last word on a lossless result before it wins, asked smallest
    // first: a result it turns down is deleted and the next smallest is asked.
    using Vetting = std::function<QCoro::Task<bool>(WorkerResult)>;

    // Never fails: a worker's failure is logged and costs only its own result.
    // Copies and every output that is not the answer are gone when it returns;
    // the lossy tools' outputs stay registered as the job's working files.
    QCoro::Task<std::optional<WorkerResult>> runCompetition(std::vector<OptimizationWorker::Ptr> workers,
                                                            JobContext::Ptr job, IOFile::Ptr input,
                                                            CancellationFlag cancel, Vetting vet = {});

protected:
    // Posted to the job without waiting.
    virtual void reportProgress(JobContext& job, double fraction, const QString& toolName);

private:
    struct Standing {
        std::optional<WorkerResult> result;
        qint64 size = 0;
        QStringList chain; // lossy tools that improved the file, in order
    };

    static void takeLossyResult(const JobContext& job, const QString& toolName, Standing& standing);
    QCoro::Task<std::optional<WorkerResult>> runLosslessPhase(std::vector<OptimizationWorker::Ptr> workers,
                                                              JobContext::Ptr job, IOFile::Ptr input,
                                                              CancellationFlag cancel, Vetting vet,
                                                              std::size_t alreadyRun, std::size_t workerCount,
                                                              Standing standing);
    static QCoro::Task<std::optional<WorkerResult>> select(std::vector<WorkerResult> entries, JobContext::Ptr job,
                                                           Standing standing, Vetting vet);
    static QCoro::Task<std::optional<WorkerResult>> take(WorkerResult entry, QString chained, JobContext::Ptr job,
                                                         qint64 sizeToBeat, Vetting vet);
};
