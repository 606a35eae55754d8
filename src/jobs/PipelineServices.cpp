// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/PipelineServices.h"

#include "jobs/UserPreferences.h"
#include "scheduler/WorkerScheduler.h"
#include "store/ResultsCache.h"
#include "workers/WorkerFactory.h"

namespace PipelineServices {

JobPipeline::Services make(WorkerScheduler& scheduler)
{
    JobPipeline::Services services;
    services.lookup = [](QUrl file, qint64 settingsHash) -> QCoro::Task<std::optional<JobPipeline::CachedResult>> {
        const auto entry = co_await ResultsCache::shared().lookup(file, settingsHash);
        if (!entry)
            co_return std::nullopt;
        co_return JobPipeline::CachedResult{entry->optimizedSize, entry->toolName};
    };
    services.store = [](QUrl file, qint64 settingsHash, qint64 originalSize, qint64 optimizedSize,
                        QString toolName) -> QCoro::Task<> {
        co_await ResultsCache::shared().store(file, settingsHash, originalSize, optimizedSize, toolName);
    };
    services.makeWorkers = [](IOFileType type, int level, CompressionPreset preset, OptimizationJob::Ptr job) {
        return WorkerFactory::makeWorkers(type, level, preset, job);
    };
    services.runCompetition = [&scheduler](std::vector<OptimizationWorker::Ptr> workers, OptimizationJob::Ptr job,
                                           IOFile::Ptr input, CancellationFlag cancel,
                                           JobPipeline::Services::Vetting vet) {
        return scheduler.runCompetition(std::move(workers), std::move(job), std::move(input), cancel, std::move(vet));
    };
    services.presetText = [] { return UserPreferences::shared().compressionPresetRaw(); };
    return services;
}

} // namespace PipelineServices
