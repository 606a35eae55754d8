#pragma once

#include "workers/OptimizationWorker.h"

#include <memory>

class BaseWorker : public OptimizationWorker {
public:
    explicit BaseWorker(QString name) : name_(std::move(name)) {}

    std::shared_ptr<OptimizationJob> job() const override { return job_.lock(); }
    void setJob(const std::shared_ptr<OptimizationJob>& job) override { job_ = job; }
    QString name() const override { return name_; }
    bool isLossy() const override { return false; }
    QCoro::Task<Failure> run() override;

private:
    std::weak_ptr<OptimizationJob> job_;
    const QString name_;
};
