// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/WorkerFactory.h"

#include "workers/DnglabWorker.h"
#include "workers/GifsicleWorker.h"
#include "workers/HEICWorker.h"
#include "workers/JpegoptimWorker.h"
#include "workers/JpegtranWorker.h"
#include "workers/OxiPngWorker.h"
#include "workers/PngquantWorker.h"
#include "workers/SvgcleanerWorker.h"
#include "workers/WebPWorker.h"

#include <algorithm>

std::vector<OptimizationWorker::Ptr> WorkerFactory::makeWorkers(IOFileType fileType, int optimizationLevel,
                                                                CompressionPreset preset, const JobContext::Ptr& job)
{
    std::vector<OptimizationWorker::Ptr> workers;
    switch (fileType) {
    case IOFileType::png:
        workers = pngWorkers(preset, optimizationLevel);
        break;
    case IOFileType::jpeg:
        workers = jpegWorkers(preset, optimizationLevel);
        break;
    case IOFileType::gif:
        workers = gifWorkers(preset, optimizationLevel);
        break;
    case IOFileType::svg:
        workers = svgWorkers(preset, optimizationLevel);
        break;
    case IOFileType::webp:
        workers = webpWorkers(preset, optimizationLevel);
        break;
    case IOFileType::heic:
        workers = heicWorkers(preset, optimizationLevel);
        break;
    case IOFileType::dng:
        workers = dngWorkers(preset, optimizationLevel);
        break;
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
        // pngquant takes speeds from 1 to 11 only.
        workers.push_back(std::make_shared<PngquantWorker>(minQuality, std::clamp(7 - optimizationLevel, 1, 3)));
    }
    workers.push_back(
        std::make_shared<OxiPngWorker>(std::clamp(optimizationLevel, 2, 6), preset == CompressionPreset::maximum));
    return workers;
}

namespace {

// Lossless, balanced, maximum.
template <typename T> T byPreset(CompressionPreset preset, T lossless, T balanced, T maximum)
{
    switch (preset) {
    case CompressionPreset::lossless:
        return lossless;
    case CompressionPreset::maximum:
        return maximum;
    case CompressionPreset::balanced:
        break;
    }
    return balanced;
}

} // namespace

std::vector<OptimizationWorker::Ptr> WorkerFactory::jpegWorkers(CompressionPreset preset, int)
{
    const bool strip = preset == CompressionPreset::maximum;
    const int quality = byPreset(preset, 100, 80, 70);
    auto jpegtran = std::make_shared<JpegtranWorker>(true, strip, preset != CompressionPreset::lossless, quality);
    // Without loss jpegoptim can only re-pack the scans as jpegtran does, and
    // at quality 100 it re-encodes pixels: it would cost time for no winner.
    if (preset == CompressionPreset::lossless)
        return {jpegtran};
    return {std::make_shared<JpegoptimWorker>(quality, strip), jpegtran};
}

std::vector<OptimizationWorker::Ptr> WorkerFactory::gifWorkers(CompressionPreset preset, int)
{
    std::vector<OptimizationWorker::Ptr> workers;
    if (preset != CompressionPreset::lossless)
        workers.push_back(std::make_shared<GifsicleWorker>(byPreset(preset, 0, 40, 70), false));
    workers.push_back(std::make_shared<GifsicleWorker>(0, true));
    return workers;
}

std::vector<OptimizationWorker::Ptr> WorkerFactory::svgWorkers(CompressionPreset preset, int)
{
    return {std::make_shared<SvgcleanerWorker>(preset == CompressionPreset::lossless)};
}

std::vector<OptimizationWorker::Ptr> WorkerFactory::dngWorkers(CompressionPreset preset, int)
{
    return {std::make_shared<DnglabWorker>(preset == CompressionPreset::maximum)};
}

std::vector<OptimizationWorker::Ptr> WorkerFactory::heicWorkers(CompressionPreset preset, int)
{
    return {std::make_shared<HEICWorker>(byPreset(preset, 100.0, 80.0, 70.0))};
}

std::vector<OptimizationWorker::Ptr> WorkerFactory::webpWorkers(CompressionPreset preset, int)
{
    return {std::make_shared<WebPWorker>(byPreset(preset, 100.0, 80.0, 70.0))};
}
