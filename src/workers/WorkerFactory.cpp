#include "workers/WorkerFactory.h"

#include "jobs/UserPreferences.h"
#include "workers/OxiPngWorker.h"
#include "workers/PngquantWorker.h"

#include <algorithm>

std::vector<OptimizationWorker::Ptr> WorkerFactory::makeWorkers(IOFileType fileType, int optimizationLevel,
                                                                const std::shared_ptr<OptimizationJob>& job)
{
    const CompressionPreset preset = UserPreferences::shared().compressionPreset();
    std::vector<OptimizationWorker::Ptr> workers;
    switch (fileType) {
    case IOFileType::png: workers = pngWorkers(preset, optimizationLevel); break;
    case IOFileType::jpeg: workers = jpegWorkers(preset, optimizationLevel); break;
    case IOFileType::gif: workers = gifWorkers(preset, optimizationLevel); break;
    case IOFileType::svg: workers = svgWorkers(preset, optimizationLevel); break;
    case IOFileType::webp: workers = webpWorkers(preset, optimizationLevel); break;
    case IOFileType::heic: workers = heicWorkers(preset, optimizationLevel); break;
    case IOFileType::dng: workers = dngWorkers(preset, optimizationLevel); break;
    }
    for (const auto& worker : workers)
        worker->setJob(job);
    return workers;
}

std::vector<OptimizationWorker::Ptr> WorkerFactory::pngWorkers(CompressionPreset preset, int optimizationLevel)
{
    std::vector<OptimizationWorker::Ptr> workers;
    if (preset != CompressionPreset::lossless && optimizationLevel >= 2) {
        const int minQuality = preset == CompressionPreset::maximum ? 60 : 75;
        workers.push_back(std::make_shared<PngquantWorker>(minQuality, std::min(7 - optimizationLevel, 3)));
    }
    workers.push_back(
        std::make_shared<OxiPngWorker>(std::clamp(optimizationLevel, 2, 6), preset == CompressionPreset::maximum));
    return workers;
}

std::vector<OptimizationWorker::Ptr> WorkerFactory::jpegWorkers(CompressionPreset, int) { return {}; }
std::vector<OptimizationWorker::Ptr> WorkerFactory::gifWorkers(CompressionPreset, int) { return {}; }
std::vector<OptimizationWorker::Ptr> WorkerFactory::svgWorkers(CompressionPreset, int) { return {}; }
std::vector<OptimizationWorker::Ptr> WorkerFactory::dngWorkers(CompressionPreset, int) { return {}; }
std::vector<OptimizationWorker::Ptr> WorkerFactory::heicWorkers(CompressionPreset, int) { return {}; }
std::vector<OptimizationWorker::Ptr> WorkerFactory::webpWorkers(CompressionPreset, int) { return {}; }
