// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/BackgroundTask.h"

#include <QSemaphore>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/resource.h>
#include <unistd.h>

namespace {
int ownNice()
{
    return getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
}

// Waits without taking the task over, as a busy machine's waiter would.
int onPool(QFuture<int> future)
{
    while (!future.isFinished())
        QThread::msleep(1);
    return future.result();
}
} // namespace

// The batch's work yields to the window as the tools do, and never drags the
// thread that starts it (the window's) down with it.
TEST(BackgroundTask, RunsAtTheToolsPriorityAndLeavesTheCallerAlone)
{
    const int before = ownNice();
    const int lowered = std::max(before, BackgroundTask::niceValue);
    QThreadPool pool;
    EXPECT_EQ(onPool(BackgroundTask::run(&pool, ownNice)), lowered);
    EXPECT_EQ(onPool(BackgroundTask::run(ownNice)), lowered);
    EXPECT_EQ(ownNice(), before);
    // A task not yet started is run by the thread that waits for it (here the
    // starting one): it runs unlowered rather than lowering the caller.
    QThreadPool busy;
    busy.setMaxThreadCount(1);
    QSemaphore release;
    busy.start([&] { release.acquire(); });
    EXPECT_EQ(BackgroundTask::run(&busy, ownNice).result(), before);
    release.release();
    EXPECT_EQ(ownNice(), before);
}
