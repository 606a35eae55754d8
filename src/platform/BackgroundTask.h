// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

// Work taken off the event loop. It runs at the tools' lower priority, so that
// drawing the window and answering the user keep the cores they need while a
// batch fills them; the work itself still gets them whenever they are free.
class BackgroundTask {
public:
    // The tools' and this work's nice value, as an absolute value.
    static constexpr int niceValue = 10;

    template <typename Work> static auto run(Work&& work)
    {
        return QtConcurrent::run(lowered(std::forward<Work>(work)));
    }
    template <typename Work> static auto run(QThreadPool* pool, Work&& work)
    {
        return QtConcurrent::run(pool, lowered(std::forward<Work>(work)));
    }

    // For a pool's own runnables. Once per thread: pooled threads keep it.
    static void lowerCurrentThread();

private:
    template <typename Work> static auto lowered(Work&& work)
    {
        // A thread that waits for the result may run the task itself; the
        // thread that started it (the window's) is never lowered.
        return [work = std::forward<Work>(work), starter = QThread::currentThread()]() mutable {
            if (QThread::currentThread() != starter)
                lowerCurrentThread();
            return work();
        };
    }
};
