// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/CompressionPreset.h"
#include "core/WorkerResult.h"
#include "jobs/BatchSettings.h"
#include "jobs/FileOperations.h"
#include "jobs/OptimizationJob.h"
#include "platform/CancellationFlag.h"
#include "platform/FileLock.h"
#include "workers/IOFile.h"
#include "workers/OptimizationWorker.h"

#include <QCoroTask>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class OutputPlacement;

// What one batch child does for one pending job: cache, tools, placement,
// outcome. Its collaborators come in as services so tests can slow them down
// or make them fail.
class JobPipeline {
public:
    struct CachedResult {
        qint64 optimizedSize = 0;
        QString toolName;
    };
    struct Services {
        std::function<QCoro::Task<std::optional<CachedResult>>(QUrl file, qint64 settingsHash)> lookup;
        std::function<QCoro::Task<>(QUrl file, qint64 settingsHash, qint64 originalSize, qint64 optimizedSize,
                                    QString toolName)>
            store;
        std::function<std::vector<OptimizationWorker::Ptr>(IOFileType, int level, CompressionPreset,
                                                           OptimizationJob::Ptr)>
            makeWorkers;
        // Asked of a result before it may win.
        using Vetting = std::function<QCoro::Task<bool>(WorkerResult)>;
        std::function<QCoro::Task<std::optional<WorkerResult>>(
            std::vector<OptimizationWorker::Ptr>, OptimizationJob::Ptr, IOFile::Ptr, CancellationFlag, Vetting)>
            runCompetition;
        // The stored preset, read when a drop is confirmed.
        std::function<QString()> presetText;
    };

    explicit JobPipeline(OutputPlacement& placement, Services services);

    // Ends with the job in its final state: completed, failed with its reason,
    // or cancelled (nothing of it placed, exported or remembered).
    QCoro::Task<> processJob(OptimizationJob::Ptr job, BatchSettings settings, CancellationFlag cancel);
    Services& services() { return services_; }

    static int effortLevel(const QString& presetText);

private:
    // How a job ended, known at once (the job's own fields change later).
    struct Ending {
        bool completed = false;
        bool nothingGained = false;
        qint64 optimizedSize = 0;
        QString bestTool;
    };
    using SourceIdentity = std::optional<FileOperations::Identity>;
    // The user's file as the job found it, locked against other programs.
    struct Source {
        std::shared_ptr<FileLock> lock;
        FileLock::Outcome locking = FileLock::Outcome::failed;
        SourceIdentity identity;
        IOFile::Ptr record;
    };
    // What every step of one job's run reads; it lives as long as the run.
    struct Run {
        OptimizationJob::Ptr job;
        BatchSettings settings;
        CancellationFlag cancel;
        IOFile::Ptr source;
        SourceIdentity sourceAsRead;
    };
    QCoro::Task<bool> answerFromCache(const Run& run, qint64 settingsHash);
    QCoro::Task<IOFile::Ptr> privateCopy(OptimizationJob::Ptr job, IOFile::Ptr source);
    // The verdicts already given, by file.
    struct Verdicts {
        QList<QUrl> accepted;
        QList<QUrl> rejected;
        bool toolsRan = true; // false: every tool declined the file
    };
    QCoro::Task<Ending> finishJob(const Run& run, std::optional<WorkerResult> result, QStringList pixelChangingTools,
                                  Verdicts verdicts);
    QCoro::Task<bool> passesVerification(const OptimizationJob& job, IOFile::Ptr source, QUrl candidate,
                                         QString toolName, QStringList pixelChangingTools);
    QCoro::Task<bool> vetResult(OptimizationJob::Ptr job, IOFile::Ptr source,
                                std::vector<OptimizationWorker::Ptr> tools, bool lossless,
                                std::shared_ptr<Verdicts> verdicts, WorkerResult candidate);
    QCoro::Task<Ending> placeWinner(const Run& run, WorkerResult result);
    QCoro::Task<Ending> placeWorkingFile(const Run& run, IOFile::Ptr record);
    QCoro::Task<Ending> keepOriginal(const Run& run);
    // Placement blocks on the disk, so it runs on a pool; the job changes here.
    QCoro::Task<std::optional<OptimizationError>> place(const Run& run, QString outputPath);
    // Locks, identifies and reads the user's file; blocking.
    static Source readSource(const QString& path, bool exporting);
    static bool changedSinceAdded(const OptimizationJob& job, const SourceIdentity& now);
    // A stopped batch places nothing more: the job ends cancelled.
    static bool stopped(const Run& run);
    static QCoro::Task<IOFile::Ptr> readRecord(QUrl file);
    // Why the source does not decode, or is gone; nothing when it decodes (or
    // has no decoder here).
    static QCoro::Task<std::optional<OptimizationError>> damageOf(IOFile::Ptr source);
    static void failPlacement(OptimizationJob& job, const OptimizationError& error);
    static QString toolOf(const OptimizationJob& job, qint64 size);
    static bool shouldStore(const Ending& ending, const BatchSettings& settings);

    OutputPlacement& placement_;
    Services services_;
};
