// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoroTask>

#include <functional>
#include <memory>
#include <vector>

// A group of concurrent coroutines whose results come back in the order they
// finish. QCoro tasks start eagerly, so every task is already running when it
// is handed over; `onEach` sees each result as it arrives.
namespace TaskGroup {

template <typename T>
QCoro::Task<std::vector<T>> inCompletionOrder(std::vector<QCoro::Task<T>> tasks,
                                              std::function<void(const T&)> onEach = {})
{
    auto results = std::make_shared<std::vector<T>>();
    results->reserve(tasks.size());
    auto collect = [](QCoro::Task<T> task, std::shared_ptr<std::vector<T>> into,
                      std::function<void(const T&)> each) -> QCoro::Task<> {
        T value = co_await task;
        if (each)
            each(value);
        into->push_back(std::move(value));
    };
    std::vector<QCoro::Task<>> collectors;
    collectors.reserve(tasks.size());
    for (auto& task : tasks)
        collectors.push_back(collect(std::move(task), results, onEach));
    for (auto& collector : collectors)
        co_await collector;
    co_return std::move(*results);
}

} // namespace TaskGroup
