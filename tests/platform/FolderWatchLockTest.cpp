// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FolderWatchLock.h"
#include "TestSupport.h"

// One holder per folder, however it is named; free again once let go.
TEST(FolderWatchLockTest, OneHolderPerFolderUntilLetGo)
{
    QTemporaryDir base;
    QDir().mkpath(base.filePath("a"));
    QDir().mkpath(base.filePath("b"));
    ASSERT_TRUE(QFile::link(base.filePath("a"), base.filePath("link")));
    auto first = FolderWatchLock::take(base.filePath("a"));
    ASSERT_TRUE(first);
    for (const char* name : {"a", "a/", "link", "a/../a"})
        EXPECT_FALSE(FolderWatchLock::take(base.filePath(name))) << name;
    EXPECT_TRUE(FolderWatchLock::take(base.filePath("b")));
    first.reset();
    EXPECT_TRUE(FolderWatchLock::take(base.filePath("link")));
}
