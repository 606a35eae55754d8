// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/JobPipeline.h"

class WorkerScheduler;

// Wires the pipeline to the program's own collaborators: the shared results
// cache, the worker selection, the queue's scheduler and the stored preset.
namespace PipelineServices {
JobPipeline::Services make(WorkerScheduler& scheduler);
}
