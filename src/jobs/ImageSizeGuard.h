// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/OptimizationJob.h"
#include "workers/IOFile.h"

#include <QCoroTask>

// Reads an image's header before any decoder or tool sees the file: one that
// claims more pixels than we handle fails its job at once, however few bytes
// it has, and the job learns how many pixels its tools may have to hold.
class ImageSizeGuard {
public:
    // True when the job failed here.
    static QCoro::Task<bool> refuses(OptimizationJob::Ptr job, IOFile::Ptr source);
};
