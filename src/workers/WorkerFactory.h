// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/CompressionPreset.h"
#include "workers/IOFileType.h"
#include "workers/OptimizationWorker.h"

#include <vector>

// Which tools run for a job, in which order and how hard they work.
class WorkerFactory {
public:
    // Lossy workers come first, in the order they must run.
    static std::vector<OptimizationWorker::Ptr> makeWorkers(IOFileType fileType, int optimizationLevel,
                                                            CompressionPreset preset, const JobContext::Ptr& job);

private:
    static std::vector<OptimizationWorker::Ptr> pngWorkers(CompressionPreset preset, int optimizationLevel);
    static std::vector<OptimizationWorker::Ptr> jpegWorkers(CompressionPreset preset, int optimizationLevel);
    static std::vector<OptimizationWorker::Ptr> gifWorkers(CompressionPreset preset, int optimizationLevel);
    static std::vector<OptimizationWorker::Ptr> svgWorkers(CompressionPreset preset, int optimizationLevel);
    static std::vector<OptimizationWorker::Ptr> dngWorkers(CompressionPreset preset, int optimizationLevel);
    static std::vector<OptimizationWorker::Ptr> heicWorkers(CompressionPreset preset, int optimizationLevel);
    static std::vector<OptimizationWorker::Ptr> webpWorkers(CompressionPreset preset, int optimizationLevel);
};
