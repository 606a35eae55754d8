#include "platform/BackgroundTask.h"

#include <QThreadPool>

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/resource.h>
#include <unistd.h>

namespace {
int ownNice() { return getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())); }
} // namespace

// The batch's work yields to the window as the tools do, and never drags the
// thread that starts it (the window's) down with it.
TEST(BackgroundTask, RunsAtTheToolsPriorityAndLeavesTheCallerAlone)
{
    const int before = ownNice();
    const int lowered = std::max(before, BackgroundTask::niceValue);
    QThreadPool pool;
    EXPECT_EQ(BackgroundTask::run(&pool, ownNice).result(), lowered);
    EXPECT_EQ(BackgroundTask::run(ownNice).result(), lowered);
    EXPECT_EQ(ownNice(), before);
}
