// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/OpenForWriting.h"
#include "TestSupport.h"

using namespace TestSupport;

// Another process writing a file holds it; one reading it, or none, does not.
TEST(OpenForWriting, OnlyAFileAnotherProcessHoldsForWritingCountsAsHeld)
{
    QTemporaryDir base;
    const QString written = base.filePath("written.png"), read = base.filePath("read.png"),
                  closed = base.filePath("closed.png");
    for (const QString& path : {written, read, closed})
        writeFile(path, "x");
    QProcess holder;
    holder.start("sh", {"-c", "exec 3>>\"$0\" 4<\"$1\"; echo ready; exec sleep 30", written, read});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    EXPECT_EQ(OpenForWriting::among({written, read, closed, base.filePath("gone.png")}), QSet<QString>{written});
    holder.kill();
    holder.waitForFinished();
    EXPECT_TRUE(OpenForWriting::among({written}).isEmpty());
}
