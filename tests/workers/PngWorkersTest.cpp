// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "WorkerFixture.h"
#include "platform/ImageIO.h"
#include "workers/OxiPngWorker.h"
#include "workers/PngquantWorker.h"

using namespace TestSupport;

namespace {

const QString apng = QStringLiteral("odd/gimphelp-warp-ex-swirl.png");

class PngWorkers : public WorkerFixture {
protected:
    void SetUp() override { sandbox.useRealTools(); }
    QUrl out() const { return output(QStringLiteral("out.png")); }
};

} // namespace

TEST_F(PngWorkers, AnAnimatedPngKeepsAllItsFrames)
{
    const auto in = input(apng);
    ASSERT_TRUE(ImageIO::isAnimatedPng(in->localPath()));
    auto answer = awaitOutcome(PngquantWorker(60, 2).optimizeFile(in, out()));
    ASSERT_FALSE(answer.failed());
    EXPECT_FALSE(answer.value());
    EXPECT_FALSE(sandbox.logged("Executing"));

    // oxipng 4.0.3 refuses animated PNGs; a version that accepts them must keep the animation.
    answer = awaitOutcome(OxiPngWorker(2, false).optimizeFile(in, out()));
    if (answer.failed()) {
        EXPECT_TRUE(answer.error().message().contains("APNG"));
    } else if (answer.value()) {
        EXPECT_TRUE(ImageIO::isAnimatedPng(out().toLocalFile()));
    }
    EXPECT_EQ(readFile(in->localPath()), readFile(dataFile(apng)));
}

// A chunk is found before the image data, or after it only when asked for
// anywhere; stripping oxipng keeps the orientation.
TEST_F(PngWorkers, TheExifOrientationOfAPngSurvivesTheTool)
{
    const QString early = sandbox.filesDir() + "/early.png", late = sandbox.filesDir() + "/late.png";
    writeFile(early, PngBytes::withOrientation6());
    const QByteArray plain = readFile(dataFile("png/debian-debian.png"));
    writeFile(late, plain.chopped(12) + PngBytes::chunk("eXIf", "II*") + plain.right(12));
    EXPECT_TRUE(ImageIO::hasPngChunkBeforeImageData(early, "eXIf"));
    EXPECT_FALSE(ImageIO::hasPngChunkBeforeImageData(late, "eXIf"));
    EXPECT_TRUE(ImageIO::hasPngChunk(late, "eXIf"));
    const auto in = IOFile::read(QUrl::fromLocalFile(early));
    const auto answer = awaitOutcome(OxiPngWorker(5, true).optimizeFile(in, out()));
    ASSERT_FALSE(answer.failed()) << answer.error().errorDescription().toStdString();
    EXPECT_TRUE(answer.value() && ImageIO::hasPngChunk(out().toLocalFile(), "eXIf")) << "kept, and the result with it";
}
