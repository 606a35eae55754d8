#pragma once

#include "jobs/JobPipeline.h"

class WorkerScheduler;

// Wires the pipeline to the program's own collaborators: the shared results
// cache, the worker selection, the queue's scheduler and the stored preset.
namespace PipelineServices {
JobPipeline::Services make(WorkerScheduler& scheduler);
}
