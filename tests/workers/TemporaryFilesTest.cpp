// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/TemporaryFiles.h"
#include "ToolSandbox.h"

#include <QFileInfo>

#include <unistd.h>

using namespace TestSupport;

// Working files sit in one folder only we can read, and a folder left by a
// process that is gone is removed by the next one.
TEST(TemporaryFiles, LiveInAPrivateFolderThatOutlivesNoProcess)
{
    ToolSandbox sandbox;
    const struct {
        qint64 pid;
        bool kept;
    } others[] = {{deadPid(), false}, {1, true}};
    for (const auto& other : others) {
        const QString folder = sandbox.tmpDir() + QStringLiteral("/Pressly.%1.abcdef").arg(other.pid);
        QDir().mkpath(folder);
        writeFile(folder + "/Pressly.source.X.png", "left behind");
    }

    const QString dir = TemporaryFiles::directory();
    const QFileInfo info(dir);
    EXPECT_EQ(info.absolutePath(), sandbox.tmpDir());
    EXPECT_TRUE(info.fileName().startsWith(QStringLiteral("Pressly.%1.").arg(::getpid())));
    EXPECT_EQ(info.permissions() & 0x0077, QFileDevice::Permissions()) << "no access for group or others";
    for (const auto& other : others)
        EXPECT_EQ(QFileInfo::exists(sandbox.tmpDir() + QStringLiteral("/Pressly.%1.abcdef").arg(other.pid)),
                  other.kept);

    const QString file = TemporaryFiles::makeURL("tool", "temp").toLocalFile();
    EXPECT_EQ(QFileInfo(file).absolutePath(), dir);
    writeFile(file, "x");
    EXPECT_TRUE(TemporaryFiles::isOurs(file));
    EXPECT_FALSE(TemporaryFiles::isOurs(sandbox.tmpDir() + "/Pressly.source.X.png"));
    TemporaryFiles::removeAll();
    EXPECT_FALSE(QFileInfo::exists(dir));
    QDir(sandbox.tmpDir() + "/Pressly.1.abcdef").removeRecursively(); // another live run's
}
