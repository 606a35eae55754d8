// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>

using namespace TestSupport;

// The images and our working folder lie on a disk every look at which the
// loop's thread would wait for: a batch of each kind, and the same images
// copied into a watched folder, must never make it look.
// (The library counts the calls; how long each takes does not matter here.)
TEST(SlowDisk, NothingTheEventLoopRunsLooksAtTheDisk)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's runtime must be loaded before any preloaded library";
#endif
    QTemporaryDir root;
    QProcessEnvironment env = privateEnvironment(root.path());
    const QString slow = root.filePath("slow"), images = slow + "/images";
    const QString watched = slow + "/watched", source = root.filePath("source");
    for (const QString& folder : {images, watched, slow + "/tmp", source})
        QDir().mkpath(folder);
    const char* samples[] = {"png/pingus-flag3.png", "jpeg/pingus-clouds.jpg", "gif/imagemagick-smile.gif",
                             "svg/sprite-icons.svg", "odd/gnome-vnc-d.webp"};
    for (const char* sample : samples)
        copyInto(sample, images), copyInto(sample, source);
    env.insert("TMPDIR", slow + "/tmp");
    env.insert("LD_PRELOAD", PRESSLY_BINARY_DIR "/lib/libpressly_slowdisk.so");
    env.insert("SLOW_DISK_DIR", slow);
    env.insert("SLOW_DISK_MS", "0");
    env.insert("SLOW_DISK_TRACE", "1"); // a failure shows the stacks
    for (const QStringList& args : {QStringList{images}, QStringList{watched, "--watch-from", source}}) {
        SCOPED_TRACE(qPrintable(args.join(' ')));
        const RunResult ran = run(PRESSLY_BINARY_DIR "/bin/pressly_loopgap", args, env);
        ASSERT_EQ(ran.exitCode, 0) << qPrintable(ran.err);
        const QJsonObject report =
            QJsonDocument::fromJson(ran.out.split('\n', Qt::SkipEmptyParts).last().toUtf8()).object();
        EXPECT_EQ(report["jobs"].toInt(), int(std::size(samples)));
        EXPECT_EQ(report["failed"].toInt(), 0);
        ASSERT_TRUE(report.contains("loop_disk_waits")) << "the slow disk was not loaded";
        EXPECT_EQ(report["loop_disk_waits"].toInt(), 0) << qPrintable(ran.err.right(6000));
    }
}
