// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stop_token>

// Cooperative cancellation: the owner sets it, workers read it at fixed points.
// Copies share one flag.
class CancellationFlag {
public:
    void cancel() { source_.request_stop(); }
    bool isCancelled() const { return source_.stop_requested(); }
    // For code that only watches, e.g. a std::stop_callback that stops a tool.
    std::stop_token token() const { return source_.get_token(); }

private:
    std::stop_source source_;
};
