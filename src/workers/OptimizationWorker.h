// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/JobContext.h"
#include "core/Outcome.h"

#include <QCoroTask>
#include <QString>

#include <memory>

// One configured tool for one job, as the tool competition drives it.
class OptimizationWorker {
public:
    using Ptr = std::shared_ptr<OptimizationWorker>;
    virtual ~OptimizationWorker() = default;

    // Held weakly: a worker never keeps its job alive.
    virtual JobContext::Ptr job() const = 0;
    virtual void setJob(const JobContext::Ptr& job) = 0;
    virtual QString name() const = 0;
    virtual bool isLossy() const = 0;
    // Whether its output may show other pixels than its input. Asked after
    // the run: a tool may have fallen back to re-encoding.
    virtual bool changesPixels() const { return isLossy(); }
    // Whom its result is credited to, asked after the run: a tool that fell
    // back to a re-encode names the re-encoder.
    virtual QString resultName() const { return name(); }
    // Whether it left its input alone because nothing could come of it (no
    // tool ran, nothing was decoded). Asked after the run.
    virtual bool declined() const { return false; }
    // Optimizes the job's current working file and hands a smaller result to
    // the job. Finding no improvement is a normal finish.
    virtual QCoro::Task<Failure> run() = 0;
};
