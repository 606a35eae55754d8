#pragma once

#include <atomic>
#include <memory>

// Cooperative cancellation: the owner sets it, workers read it at fixed points.
// Copies share one flag.
class CancellationFlag {
public:
    CancellationFlag() : flag_(std::make_shared<std::atomic_bool>(false)) {}
    void cancel() { flag_->store(true); }
    bool isCancelled() const { return flag_->load(); }

private:
    std::shared_ptr<std::atomic_bool> flag_;
};
