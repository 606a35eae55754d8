// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/JobContext.h"
#include "core/WorkerResult.h"
#include "platform/CancellationFlag.h"
#include "workers/IOFile.h"
#include "workers/OptimizationWorker.h"

#include <QCoroTask>

#include <optional>

// One lossless worker's run in the competition, on a private copy of the
// job's current file. Whatever it answers, its copy is gone by then, and so is
// its output unless it is the answer.
namespace LosslessEntry {
QCoro::Task<std::optional<WorkerResult>> run(OptimizationWorker::Ptr worker, JobContext::Ptr job, IOFile::Ptr current,
                                             qint64 baseSize, CancellationFlag cancel);

void logFailure(int phase, const QString& workerName, const QString& description);
// Whether two URLs name the same path. They are ours, or the job's own URL,
// so the disk is not asked: the event loop compares them.
bool sameFile(const QUrl& a, const QUrl& b);
} // namespace LosslessEntry
