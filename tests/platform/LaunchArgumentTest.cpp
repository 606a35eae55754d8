// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"

#include "platform/LaunchArgument.h"

// What `Exec=pressly-pro %U` hands over from file managers and launchers.
TEST(LaunchArgument, TakesPathsAndLocalFileUrlsAndRefusesTheRest)
{
    const QTemporaryDir dir;
    const QString oddName = dir.filePath("https:");
    QDir().mkpath(oddName + "/x");
    const struct {
        QString argument, path;
        bool refused;
    } cases[] = {
        {"photo.png", "photo.png", false},
        {"/home/u/a b.jpg", "/home/u/a b.jpg", false},
        {"file:///home/u/a%20b%23.jpg", "/home/u/a b#.jpg", false},
        {"file://localhost/home/u/%C3%A4.png", "/home/u/ä.png", false},
        {"file:/home/u/a.png", "/home/u/a.png", false},
        {oddName + "//x", oddName + "//x", false},
        {"https://example.com/a.jpg", "", true},
        {"sftp://host/home/u/a.jpg", "", true},
        {"file://otherhost/home/u/a.jpg", "", true},
    };
    for (const auto& c : cases) {
        const auto named = LaunchArgument::resolve(c.argument);
        EXPECT_EQ(named.path, c.path) << c.argument.toStdString();
        EXPECT_EQ(named.refusal, c.refused ? "Only local files can be optimized: " + c.argument : QString())
            << c.argument.toStdString();
    }
}
