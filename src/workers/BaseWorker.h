// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "workers/IOFile.h"
#include "workers/OptimizationWorker.h"

#include <QUrl>

#include <memory>

class BaseWorker : public OptimizationWorker {
public:
    explicit BaseWorker(QString name) : name_(std::move(name)) { }

    JobContext::Ptr job() const override { return job_.lock(); }
    void setJob(const JobContext::Ptr& job) override { job_ = job; }
    QString name() const override { return name_; }
    bool isLossy() const override { return false; }
    // Has writeOutput fill a fresh temporary file from the job's current
    // working file, then hands a smaller result to the job or deletes it.
    QCoro::Task<Failure> run() override;

protected:
    struct Inputs {
        JobContext::Ptr job;
        IOFile::Ptr input;
    };
    // The job and its current working file, or the error a run fails with.
    Outcome<Inputs> takeInputs() const;

    // Where this worker writes; nothing is created there yet.
    virtual QUrl makeOutputURL() const;
    // True: an output was written and may be used. Never changes the input.
    virtual QCoro::Task<Outcome<bool>> writeOutput(IOFile::Ptr input, QUrl output);

private:
    std::weak_ptr<JobContext> job_;
    const QString name_;
};
