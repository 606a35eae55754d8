// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/OptimizationError.h"

#include <optional>
#include <utility>

// The answer of an operation that may fail: a value, or the error it failed with.
template <typename T> class Outcome {
public:
    static Outcome success(T value) { return Outcome(std::move(value)); }
    static Outcome failure(OptimizationError error) { return Outcome(std::move(error)); }
    Outcome(OptimizationError error) : error_(std::move(error)) { } // NOLINT: implicit on purpose

    bool failed() const { return error_.has_value(); }
    const OptimizationError& error() const { return *error_; }
    const T& value() const { return *value_; }
    T& value() { return *value_; }

private:
    explicit Outcome(T value) : value_(std::move(value)) { }
    std::optional<T> value_;
    std::optional<OptimizationError> error_;
};

// For operations with no value: nullopt means they finished normally.
using Failure = std::optional<OptimizationError>;
