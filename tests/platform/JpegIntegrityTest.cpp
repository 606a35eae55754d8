// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/JpegIntegrity.h"
#include "TestSupport.h"

using namespace TestSupport;

// What a lossless transcoder writes reads as the same coefficients, so its
// pixels need no decoding; anything that changes a coefficient, a table or
// the sampling does not, and damage on either side is named.
TEST(JpegIntegrity, TheSameCoefficientsAreToldFromAnyOtherImage)
{
    QTemporaryDir dir;
    const QString source = copyInto("jpeg/pingus-clouds.jpg", dir.path());
    const auto made = [&](const QString& name, const QString& program, QStringList arguments) {
        const QString path = dir.filePath(name);
        arguments.replaceInStrings("OUT", path);
        arguments.replaceInStrings("IN", source);
        EXPECT_EQ(run(program, arguments).exitCode, 0) << qPrintable(name);
        return path;
    };
    const QByteArray bytes = readFile(source);
    writeFile(dir.filePath("cut.jpg"), bytes.left(bytes.size() * 2 / 3));
    const struct {
        QString candidate;
        bool same;
        bool damaged;
    } cases[] = {
        {made("progressive.jpg", "jpegtran", {"-optimize", "-progressive", "-copy", "all", "-outfile", "OUT", "IN"}),
         true, false},
        {made("bare.jpg", "jpegtran", {"-optimize", "-copy", "none", "-outfile", "OUT", "IN"}), true, false},
        {made("turned.jpg", "jpegtran", {"-rotate", "180", "-outfile", "OUT", "IN"}), false, false},
        {made("grey.jpg", "jpegtran", {"-grayscale", "-outfile", "OUT", "IN"}), false, false},
        {made("q100.jpg", "vips", {"copy", "IN", "OUT[Q=100]"}), false, false},
        {dir.filePath("cut.jpg"), false, true},
        {copyInto("png/pingus-flag3.png", dir.path()), false, false},
    };
    for (const auto& c : cases) {
        const JpegIntegrity::Comparison read = JpegIntegrity::compare(source, c.candidate);
        EXPECT_EQ(read.same, c.same) << qPrintable(c.candidate);
        EXPECT_TRUE(read.sourceDamage.isEmpty()) << qPrintable(read.sourceDamage);
        EXPECT_EQ(!read.candidateDamage.isEmpty(), c.damaged) << qPrintable(c.candidate);
    }
    EXPECT_FALSE(JpegIntegrity::compare(dir.filePath("cut.jpg"), source).sourceDamage.isEmpty());
}
