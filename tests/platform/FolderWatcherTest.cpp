// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FolderWatcher.h"
#include "TestSupport.h"

#include <QThread>

using namespace TestSupport;

// A folder moved in is watched with the files already in it, hidden ones
// aside; a root that goes is reported and watched again once it is back.
TEST(FolderWatcherTest, FollowsNewSubfoldersAndARootThatComesBack)
{
    QTemporaryDir base;
    const QString root = base.filePath("root"), outside = base.filePath("outside");
    QDir().mkpath(root);
    QDir().mkpath(outside + "/deeper");
    writeFile(outside + "/deeper/a.png", "a");
    writeFile(outside + "/.hidden.png", "h");
    FolderWatcher watcher;
    ASSERT_TRUE(watcher.isValid());
    ASSERT_TRUE(watcher.addRoot(root));
    QStringList written, lost, back;
    QObject::connect(&watcher, &FolderWatcher::fileWritten, [&](const QString& path) { written.append(path); });
    QObject::connect(&watcher, &FolderWatcher::rootLost, [&](const QString& path) { lost.append(path); });
    QObject::connect(&watcher, &FolderWatcher::rootReturned, [&](const QString& path) { back.append(path); });

    ASSERT_TRUE(QDir().rename(outside, root + "/moved"));
    // Lets the root's silent first listing reach the new folder before its own event is read.
    QThread::msleep(300);
    ASSERT_TRUE(processEventsUntil([&] { return !written.isEmpty(); }));
    writeFile(root + "/moved/deeper/b.png", "b");
    ASSERT_TRUE(processEventsUntil([&] { return written.size() >= 2; }));
    EXPECT_EQ(written, (QStringList{root + "/moved/deeper/a.png", root + "/moved/deeper/b.png"}));

    ASSERT_TRUE(QDir(root).removeRecursively());
    ASSERT_TRUE(processEventsUntil([&] { return !lost.isEmpty(); }));
    QDir().mkpath(root);
    ASSERT_TRUE(processEventsUntil([&] { return !back.isEmpty(); }));
    writeFile(root + "/c.png", "c");
    ASSERT_TRUE(processEventsUntil([&] { return written.size() >= 3; }));
    EXPECT_EQ(written.last(), root + "/c.png");
    EXPECT_EQ(lost, QStringList{root});
}

// A large tree copied in (listed off the event loop) is reported whole.
TEST(FolderWatcherTest, ReportsEveryFileOfALargeTreeMovedIn)
{
    QTemporaryDir base;
    const QString root = base.filePath("root"), outside = base.filePath("outside");
    QDir().mkpath(root);
    QSet<QString> wanted;
    for (int folder = 0; folder < 10; ++folder)
        for (int file = 0; file < 100; ++file) {
            const QString path = QStringLiteral("/tree/%1/deeper/%2.png").arg(folder).arg(file);
            QDir().mkpath(QFileInfo(outside + path).path());
            writeFile(outside + path, "x");
            wanted.insert(root + path);
        }
    FolderWatcher watcher;
    ASSERT_TRUE(watcher.addRoot(root));
    QSet<QString> written;
    QObject::connect(&watcher, &FolderWatcher::fileWritten, [&](const QString& path) { written.insert(path); });
    ASSERT_TRUE(QDir().rename(outside + "/tree", root + "/tree"));
    ASSERT_TRUE(processEventsUntil([&] { return written.size() >= wanted.size(); }));
    EXPECT_EQ(written, wanted);
}
