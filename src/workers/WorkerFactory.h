#pragma once

#include "jobs/CompressionPreset.h"
#include "workers/IOFileType.h"
#include "workers/OptimizationWorker.h"

#include <vector>

// Which tools run for a job, in which order and how hard they work.
class WorkerFactory {
public:
    // Lossy workers come first, in the order they must run.
    static std::vector<OptimizationWorker::Ptr> makeWorkers(IOFileType fileType, CompressionPreset preset,
                                                            int optimizationLevel,
                                                            const std::shared_ptr<OptimizationJob>& job);
    // With the preset the user preferences hold at this moment.
    static std::vector<OptimizationWorker::Ptr> makeWorkers(IOFileType fileType, int optimizationLevel,
                                                            const std::shared_ptr<OptimizationJob>& job);

private:
    static std::vector<OptimizationWorker::Ptr> pngWorkers(CompressionPreset preset, int optimizationLevel);
    static std::vector<OptimizationWorker::Ptr> jpegWorkers(CompressionPreset preset, int optimizationLevel);
    static std::vector<OptimizationWorker::Ptr> gifWorkers(CompressionPreset preset, int optimizationLevel);
    static std::vector<OptimizationWorker::Ptr> svgWorkers(CompressionPreset preset, int optimizationLevel);
    static std::vector<OptimizationWorker::Ptr> dngWorkers(CompressionPreset preset, int optimizationLevel);
    static std::vector<OptimizationWorker::Ptr> heicWorkers(CompressionPreset preset, int optimizationLevel);
    static std::vector<OptimizationWorker::Ptr> webpWorkers(CompressionPreset preset, int optimizationLevel);
};
