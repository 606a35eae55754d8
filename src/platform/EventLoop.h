// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <coroutine>
#include <vector>

// Coroutine waits on the event-loop thread. Resumptions are posted to the
// event loop, never run inside the caller, so a waiting coroutine can never be
// resumed twice or after it moved on. (QCoro's signal awaiter can be, when the
// signal fires several times before the first wake-up is delivered.)
namespace EventLoop {

void resumeLater(std::coroutine_handle<> handle);

// Resumes the caller once every call already queued to the event loop has
// run, e.g. the deferred state changes of jobs.
struct AfterPostedEvents {
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> handle) const { resumeLater(handle); }
    void await_resume() const noexcept { }
};
inline AfterPostedEvents afterPostedEvents()
{
    return {};
}

// Wakes every coroutine waiting on it at the time of `notifyAll`.
class Notifier {
public:
    struct Awaiter {
        Notifier& notifier;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> handle) { notifier.waiting_.push_back(handle); }
        void await_resume() const noexcept { }
    };
    Awaiter wait() { return {*this}; }
    void notifyAll();

private:
    std::vector<std::coroutine_handle<>> waiting_;
};

} // namespace EventLoop
