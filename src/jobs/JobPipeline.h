#pragma once

#include "core/CompressionPreset.h"
#include "core/WorkerResult.h"
#include "jobs/FileOperations.h"
#include "jobs/OptimizationJob.h"
#include "platform/CancellationFlag.h"
#include "workers/IOFile.h"
#include "workers/OptimizationWorker.h"

#include <QCoroTask>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Configuration;
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
        std::function<QCoro::Task<std::optional<WorkerResult>>(std::vector<OptimizationWorker::Ptr>,
                                                               OptimizationJob::Ptr, IOFile::Ptr, CancellationFlag,
                                                               Vetting)>
            runCompetition;
        std::function<QString()> presetText;
    };

    JobPipeline(Configuration& configuration, OutputPlacement& placement, Services services);

    QCoro::Task<> processJob(OptimizationJob::Ptr job, CancellationFlag cancel);
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
    QCoro::Task<bool> answerFromCache(OptimizationJob::Ptr job, qint64 settingsHash);
    using SourceIdentity = std::optional<FileOperations::Identity>;
    QCoro::Task<IOFile::Ptr> privateCopy(OptimizationJob::Ptr job, IOFile::Ptr source);
    // The verdicts already given, by file.
    struct Verdicts {
        QList<QUrl> accepted;
        QList<QUrl> rejected;
        bool toolsRan = true; // false: every tool declined the file
    };
    QCoro::Task<Ending> finishJob(OptimizationJob::Ptr job, std::optional<WorkerResult> result, IOFile::Ptr source,
                                  SourceIdentity sourceAsRead, QStringList pixelChangingTools, Verdicts verdicts);
    QCoro::Task<bool> passesVerification(const OptimizationJob& job, IOFile::Ptr source, QUrl candidate,
                                         QString toolName, QStringList pixelChangingTools);
    QCoro::Task<bool> vetResult(OptimizationJob::Ptr job, IOFile::Ptr source, std::vector<OptimizationWorker::Ptr> tools,
                                bool lossless, std::shared_ptr<Verdicts> verdicts, WorkerResult candidate);
    QCoro::Task<Ending> placeWinner(OptimizationJob::Ptr job, WorkerResult result, SourceIdentity sourceAsRead);
    QCoro::Task<Ending> placeWorkingFile(OptimizationJob::Ptr job, IOFile::Ptr record, SourceIdentity sourceAsRead);
    QCoro::Task<Ending> keepOriginal(OptimizationJob::Ptr job);
    // Placement blocks on the disk, so it runs on a pool; the job changes here.
    QCoro::Task<std::optional<OptimizationError>> place(OptimizationJob::Ptr job, QString outputPath,
                                                        SourceIdentity sourceAsRead);
    static QCoro::Task<IOFile::Ptr> readRecord(QUrl file);
    // Why the source does not decode; empty when it does (or has no decoder here).
    static QCoro::Task<QString> damageOf(IOFile::Ptr source);
    static void failPlacement(OptimizationJob& job, const OptimizationError& error);
    static QString toolOf(const OptimizationJob& job, qint64 size);
    bool shouldStore(const Ending& ending) const;

    Configuration& configuration_;
    OutputPlacement& placement_;
    Services services_;
};
