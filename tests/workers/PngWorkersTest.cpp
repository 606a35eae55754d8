#include "WorkerFixture.h"
#include "platform/ImageIO.h"
#include "workers/OxiPngWorker.h"
#include "workers/PngquantWorker.h"

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

const QString apng = QStringLiteral("odd/gimphelp-warp-ex-swirl.png");

class PngWorkers : public WorkerFixture {
protected:
    void SetUp() override { sandbox.useRealTools(); }
    QUrl out() const { return output(QStringLiteral("out.png")); }
};

} // namespace

TEST_F(PngWorkers, RealToolsShrinkAPngInsideAJobAndKeepItsColourProfile)
{
    // Debian's pngquant drops the iCCP chunk; the worker puts it back.
    auto job = jobFor("png/debian-debian.png");
    auto pngquant = std::make_shared<PngquantWorker>(75, 3);
    auto oxipng = std::make_shared<OxiPngWorker>(2, false);
    const auto in = IOFile::read(job->fileURL());
    const QString o = out().toLocalFile();
    EXPECT_EQ(pngquant->arguments(*in, out()),
              (QStringList{"256", "--skip-if-larger", "-s3", "--quality", "75-95", "--output", o, in->localPath()}));
    EXPECT_EQ(oxipng->arguments(*in, out()), (QStringList{"-o2", "-D", "-i0", "-a", "--out", o, "--", in->localPath()}));
    pngquant->setJob(job);
    oxipng->setJob(job);
    EXPECT_EQ(QCoro::waitFor(pngquant->run()), std::nullopt);
    ASSERT_TRUE(job->optimizedSize());
    EXPECT_LT(*job->optimizedSize(), job->originalSize());
    const QString quantised = JobWorkingFiles::workingInputFile(*job)->localPath();
    EXPECT_TRUE(ImageIO::hasPngChunkBeforeImageData(quantised, "iCCP"));
    EXPECT_EQ(ImageIO::decodedSize(quantised), QSize(201, 86));
    const qint64 afterPngquant = *job->optimizedSize();
    EXPECT_EQ(QCoro::waitFor(oxipng->run()), std::nullopt);
    EXPECT_LE(*job->optimizedSize(), afterPngquant);
    // Only accepted outputs remain, each registered for the job.
    EXPECT_GE(sandbox.leftovers().size(), 1);
    EXPECT_LE(sandbox.leftovers().size(), 2);
    EXPECT_EQ(readFile(job->fileURL().toLocalFile()), readFile(dataFile("png/debian-debian.png")));
}

TEST_F(PngWorkers, AnAnimatedPngKeepsAllItsFrames)
{
    const auto in = input(apng);
    ASSERT_TRUE(ImageIO::isAnimatedPng(in->localPath()));
    auto answer = awaitOutcome(PngquantWorker(60, 2).optimizeFile(in, out()));
    ASSERT_FALSE(answer.failed());
    EXPECT_FALSE(answer.value());
    EXPECT_FALSE(sandbox.logged("🔧 Executing"));

    // oxipng 4.0.3 refuses animated PNGs; a version that accepts them must keep the animation.
    answer = awaitOutcome(OxiPngWorker(2, false).optimizeFile(in, out()));
    if (answer.failed()) {
        EXPECT_TRUE(answer.error().message().contains("APNG"));
    } else if (answer.value()) {
        EXPECT_TRUE(ImageIO::isAnimatedPng(out().toLocalFile()));
    }

    auto job = jobFor(apng);
    for (OptimizationWorker::Ptr worker :
         {OptimizationWorker::Ptr(new PngquantWorker(60, 2)), OptimizationWorker::Ptr(new OxiPngWorker(5, true))}) {
        worker->setJob(job);
        QCoro::waitFor(worker->run());
    }
    EXPECT_EQ(job->optimizedSize(), std::nullopt);
    EXPECT_EQ(readFile(job->fileURL().toLocalFile()), readFile(dataFile(apng)));
}

TEST_F(PngWorkers, TheExifOrientationOfAPngSurvivesTheTool)
{
    const QString path = sandbox.filesDir() + "/rotated.png";
    writeFile(path, PngBytes::withOrientation6());
    const auto in = IOFile::read(QUrl::fromLocalFile(path));
    EXPECT_FALSE(OxiPngWorker(5, true).arguments(*in, out()).contains("--strip=safe"));
    const auto answer = awaitOutcome(OxiPngWorker(5, true).optimizeFile(in, out()));
    ASSERT_FALSE(answer.failed()) << answer.error().errorDescription().toStdString();
    if (answer.value()) {
        EXPECT_TRUE(ImageIO::hasPngChunk(out().toLocalFile(), "eXIf"));
    }
}
