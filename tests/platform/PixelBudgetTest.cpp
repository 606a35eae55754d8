// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PixelBudget.h"

#include <QtConcurrent/QtConcurrentRun>

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>

// A second large image waits for the first; a small one does not.
TEST(PixelBudget, ALargeImageWaitsForAnotherToFinish)
{
    PixelBudget budget(1000);
    auto first = std::make_optional(budget.acquire(800));
    auto small = std::make_optional(budget.acquire(150));
    std::atomic<bool> got{false};
    auto second = QtConcurrent::run([&] {
        const PixelBudget::Lease lease = budget.acquire(800);
        got = true;
        return budget.inUse();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_FALSE(got);
    EXPECT_EQ(budget.inUse(), 950);
    first.reset();
    EXPECT_EQ(second.result(), 950);
    EXPECT_EQ(budget.inUse(), 150);
    small.reset();
    // Larger than the whole budget: runs alone rather than never.
    auto huge = QtConcurrent::run([&] { return budget.acquire(5000), true; });
    EXPECT_TRUE(huge.result());
}
