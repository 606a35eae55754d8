#include "WorkerFixture.h"
#include "platform/ImageIO.h"
#include "workers/OxiPngWorker.h"
#include "workers/PngquantWorker.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

const QString apng = QStringLiteral("odd/gimphelp-warp-ex-swirl.png");

class PngWorkers : public WorkerFixture {
protected:
    using WorkerFixture::output;
    QUrl output() const { return output(QStringLiteral("out.png")); }
    // A stand-in that records its arguments and exits with the given status.
    void standIn(const QString& tool, int status, const QByteArray& stderrText = {})
    {
        sandbox.writeScript(sandbox.bundledDir() + QLatin1Char('/') + tool,
                            "printf '%s\\n' \"$@\" > argv.txt\nprintf '" + stderrText + "' >&2\nexit "
                                + QByteArray::number(status));
    }
};

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray bigEndian(quint32 value)
{
    const char bytes[] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return QByteArray(bytes, 4);
}

QByteArray chunk(const QByteArray& type, const QByteArray& data)
{
    return bigEndian(quint32(data.size())) + type + data + bigEndian(crc32(type + data));
}

int pngBitDepth(const QString& path) { return quint8(readFile(path).at(24)); }

} // namespace

TEST_F(PngWorkers, PngquantGetsItsEightArgumentsAndItsStatusesMeanWhatTheySay)
{
    standIn("pngquant", 0);
    PngquantWorker worker(75, 3);
    const auto in = input("png/pidgin-pidgin-logo.png");
    auto answer = awaitOutcome(worker.optimizeFile(in, output("out file.png")));
    ASSERT_FALSE(answer.failed());
    EXPECT_TRUE(answer.value());
    const QStringList expected{"256", "--skip-if-larger", "-s3", "--quality", "75-95",
                               "--output", sandbox.filesDir() + "/out file.png", in->localPath()};
    EXPECT_EQ(recordedArguments(), expected);
    EXPECT_TRUE(worker.isLossy());

    EXPECT_EQ(PngquantWorker(85, 2).arguments(*in, output())[4], "85-100");
    EXPECT_EQ(PngquantWorker(60, 2).arguments(*in, output())[4], "60-80");
    EXPECT_FALSE(PngquantWorker(100, 2).isLossy());

    for (const auto& [status, line] : {std::pair{99, "pngquant skipped image due to low quality"},
                                       std::pair{98, "pngquant skipped image due to poor compression"}}) {
        standIn("pngquant", status);
        answer = awaitOutcome(worker.optimizeFile(in, output()));
        ASSERT_FALSE(answer.failed());
        EXPECT_FALSE(answer.value());
        EXPECT_TRUE(sandbox.logged(line));
    }
    standIn("pngquant", 2);
    answer = awaitOutcome(worker.optimizeFile(in, output()));
    ASSERT_TRUE(answer.failed());
    EXPECT_EQ(answer.error().errorDescription(), "pngquant failed: Exit code: 2");
}

TEST_F(PngWorkers, OxipngGetsItsArgumentsAndFailsWithItsOwnMessage)
{
    standIn("oxipng", 0);
    const auto in = input("png/pidgin-pidgin-logo.png");
    auto answer = awaitOutcome(OxiPngWorker(3, false).optimizeFile(in, output()));
    ASSERT_FALSE(answer.failed());
    EXPECT_TRUE(answer.value());
    const QStringList plain{"-o3", "-i0", "-a", "--out", output().toLocalFile(), "--", in->localPath()};
    EXPECT_EQ(recordedArguments(), plain);

    const QStringList stripped{"--strip=safe", "-o6", "-i0", "-a", "--out", output().toLocalFile(), "--", in->localPath()};
    EXPECT_EQ(OxiPngWorker(0, true).arguments(*in, output()), stripped);

    standIn("oxipng", 1, "bad PNG");
    answer = awaitOutcome(OxiPngWorker(2, false).optimizeFile(in, output()));
    ASSERT_TRUE(answer.failed());
    EXPECT_EQ(answer.error().errorDescription(), "oxipng failed: bad PNG");
}

TEST_F(PngWorkers, RealToolsShrinkARealPngThatStillDecodes)
{
    sandbox.useRealTools();
    const auto in = input("png/pidgin-pidgin-logo.png");
    for (auto* worker : std::initializer_list<BaseCommandWorker*>{new PngquantWorker(75, 3), new OxiPngWorker(2, false)}) {
        std::unique_ptr<BaseCommandWorker> owned(worker);
        const QUrl out = output(worker->name() + ".png");
        const auto answer = awaitOutcome(worker->optimizeFile(in, out));
        ASSERT_FALSE(answer.failed()) << answer.error().errorDescription().toStdString();
        EXPECT_TRUE(answer.value());
        EXPECT_LT(QFileInfo(out.toLocalFile()).size(), in->byteSize);
        EXPECT_EQ(ImageIO::decodedSize(out.toLocalFile()), QSize(330, 90));
    }
    EXPECT_EQ(readFile(in->localPath()), readFile(dataFile("png/pidgin-pidgin-logo.png")));
}

TEST_F(PngWorkers, RealToolsRunInsideAJobAndLeaveNothingBehind)
{
    sandbox.useRealTools();
    auto job = jobFor("png/pidgin-pidgin-logo.png");
    auto pngquant = std::make_shared<PngquantWorker>(75, 3);
    auto oxipng = std::make_shared<OxiPngWorker>(2, false);
    pngquant->setJob(job);
    oxipng->setJob(job);
    EXPECT_EQ(QCoro::waitFor(pngquant->run()), std::nullopt);
    ASSERT_TRUE(job->optimizedSize());
    const qint64 afterPngquant = *job->optimizedSize();
    EXPECT_LT(afterPngquant, job->originalSize());
    EXPECT_EQ(QCoro::waitFor(oxipng->run()), std::nullopt);
    EXPECT_LE(*job->optimizedSize(), afterPngquant);
    // Only accepted outputs remain, each registered for the job.
    EXPECT_GE(sandbox.leftovers().size(), 1);
    EXPECT_LE(sandbox.leftovers().size(), 2);
}

TEST_F(PngWorkers, PngquantOutputKeepsTheColourProfile)
{
    sandbox.useRealTools();
    const auto in = input("png/debian-debian.png"); // has an iCCP chunk, which Debian's pngquant drops
    const auto answer = awaitOutcome(PngquantWorker(75, 3).optimizeFile(in, output()));
    ASSERT_FALSE(answer.failed());
    ASSERT_TRUE(answer.value());
    const QString out = output().toLocalFile();
    EXPECT_TRUE(ImageIO::hasPngChunkBeforeImageData(out, "iCCP"));
    EXPECT_EQ(ImageIO::decodedSize(out), ImageIO::decodedSize(in->localPath())) << "still a valid PNG";
    EXPECT_LT(QFileInfo(out).size(), in->byteSize);
}

TEST_F(PngWorkers, AnAnimatedPngKeepsAllItsFrames)
{
    sandbox.useRealTools();
    const auto in = input(apng);
    ASSERT_TRUE(ImageIO::isAnimatedPng(in->localPath()));

    auto answer = awaitOutcome(PngquantWorker(60, 2).optimizeFile(in, output()));
    ASSERT_FALSE(answer.failed());
    EXPECT_FALSE(answer.value());
    EXPECT_FALSE(sandbox.logged("🔧 Executing"));

    // oxipng 4.0.3 refuses animated PNGs; a version that accepts them must keep the animation.
    answer = awaitOutcome(OxiPngWorker(2, false).optimizeFile(in, output()));
    if (answer.failed()) {
        EXPECT_TRUE(answer.error().message().contains("APNG"));
    } else if (answer.value()) {
        EXPECT_TRUE(ImageIO::isAnimatedPng(output().toLocalFile()));
    }

    auto job = jobFor(apng);
    for (OptimizationWorker::Ptr worker :
         {OptimizationWorker::Ptr(new PngquantWorker(60, 2)), OptimizationWorker::Ptr(new OxiPngWorker(5, true))}) {
        worker->setJob(job);
        QCoro::waitFor(worker->run());
    }
    EXPECT_EQ(job->optimizedSize(), std::nullopt);
    EXPECT_EQ(readFile(job->fileURL().toLocalFile()), readFile(dataFile(apng)));

    // Without tools the re-encode would keep one frame: it declines.
    ToolLocator::overrideResourcesDir(sandbox.resourcesDir());
    ToolLocator::overrideSystemDirs(QStringList{sandbox.systemDir()});
    answer = awaitOutcome(OxiPngWorker(2, false).optimizeFile(in, output()));
    ASSERT_FALSE(answer.failed());
    EXPECT_FALSE(answer.value());
}

TEST_F(PngWorkers, WithoutToolsTheImageIOFallbackReencodes)
{
    const auto in = input("png/debian-debian.png");
    auto answer = awaitOutcome(OxiPngWorker(2, false).optimizeFile(in, output()));
    ASSERT_FALSE(answer.failed()) << answer.error().errorDescription().toStdString();
    EXPECT_TRUE(answer.value());
    const QStringList expectedLines{
        "❌ oxipng not found in bundle or system",
        "⚠️ oxipng not found, using Core Graphics fallback",
        "🎨 Core Graphics PNG optimization starting for file size: 14819 bytes",
        "✅ Core Graphics successfully read PNG image",
        QStringLiteral("📊 Original: 14819 bytes, Optimized: %1 bytes").arg(QFileInfo(output().toLocalFile()).size()),
        "✅ Core Graphics PNG optimization completed: OPTIMIZED"};
    EXPECT_EQ(sandbox.lines(), expectedLines);
    EXPECT_EQ(ImageIO::decodedSize(output().toLocalFile()), QSize(201, 86));
    EXPECT_TRUE(ImageIO::hasPngChunkBeforeImageData(output().toLocalFile(), "iCCP"));
    EXPECT_FALSE(ImageIO::hasPngChunkBeforeImageData(output().toLocalFile(), "zTXt"));

    sandbox.clearLines();
    const auto tiny = input("png/pingus-flag3.png");
    answer = awaitOutcome(PngquantWorker(75, 3).optimizeFile(tiny, output("tiny.png")));
    ASSERT_FALSE(answer.failed());
    EXPECT_FALSE(answer.value());
    EXPECT_TRUE(QFileInfo::exists(output("tiny.png").toLocalFile())); // the caller deletes it
    EXPECT_TRUE(sandbox.logged("⚠️ pngquant not found, using Core Graphics fallback"));
    EXPECT_TRUE(sandbox.logged("🎨 Core Graphics PNG optimization (pngquant fallback) starting for file size: 418 bytes"));
    EXPECT_TRUE(sandbox.logged("⚠️ Note: Core Graphics cannot replicate pngquant's lossy compression, using lossless PNG optimization"));
    EXPECT_TRUE(sandbox.logged("✅ Core Graphics PNG optimization (pngquant fallback) completed: NO_CHANGE"));

    // A 16-bit image stays 16-bit.
    const auto deep = input("png/imagemagick-radial-gradient.png");
    answer = awaitOutcome(OxiPngWorker(2, false).optimizeFile(deep, output("deep.png")));
    ASSERT_FALSE(answer.failed());
    EXPECT_EQ(pngBitDepth(output("deep.png").toLocalFile()), 16);
}

TEST_F(PngWorkers, TheFallbackRefusesHugeAndBrokenInput)
{
    const auto real = input("png/debian-debian.png");
    const auto atLimit = std::make_shared<IOFile>(real->path, IOFileType::png, 52'428'800);
    auto answer = awaitOutcome(OxiPngWorker(2, false).optimizeFile(atLimit, output()));
    ASSERT_FALSE(answer.failed());
    EXPECT_TRUE(answer.value());

    const auto overLimit = std::make_shared<IOFile>(real->path, IOFileType::png, 52'428'801);
    answer = awaitOutcome(OxiPngWorker(2, false).optimizeFile(overLimit, output()));
    ASSERT_TRUE(answer.failed());
    EXPECT_EQ(answer.error().errorDescription(), "Core Graphics failed: File too large (>50MB)");
    EXPECT_TRUE(sandbox.logged("⚠️ File too large for Core Graphics optimization: 52428801 bytes"));

    // A header claiming 40000 × 40000 pixels is refused before any pixel is decoded.
    const QByteArray header = QByteArray::fromHex("00009c4000009c400806000000");
    const QByteArray bomb = QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header)
                            + chunk("IDAT", QByteArray::fromHex("789c6300000000010001")) + chunk("IEND", {});
    const QString bombPath = sandbox.filesDir() + "/bomb.png";
    writeFile(bombPath, bomb);
    answer = awaitOutcome(OxiPngWorker(2, false).optimizeFile(IOFile::read(QUrl::fromLocalFile(bombPath)), output()));
    ASSERT_TRUE(answer.failed());
    EXPECT_TRUE(answer.error().message().startsWith("File too large")) << answer.error().message().toStdString();

    const QString brokenPath = sandbox.filesDir() + "/broken.png";
    writeFile(brokenPath, readFile(real->localPath()).left(2000));
    answer = awaitOutcome(OxiPngWorker(2, false).optimizeFile(IOFile::read(QUrl::fromLocalFile(brokenPath)), output()));
    ASSERT_TRUE(answer.failed());
    EXPECT_EQ(answer.error().errorDescription(), "Core Graphics failed: Could not read PNG image");
}

TEST_F(PngWorkers, TheExifOrientationOfAPngSurvivesEveryPath)
{
    // A minimal TIFF block: Orientation = 6 (rotate 90° clockwise to show).
    const QByteArray tiff = QByteArray("II*\0", 4) + QByteArray::fromHex("08000000" "0100" "1201" "0300" "01000000"
                                                                         "0600" "0000" "00000000");
    const QByteArray source = readFile(dataFile("png/debian-debian.png"));
    const QString path = sandbox.filesDir() + "/rotated.png";
    writeFile(path, source.left(33) + chunk("eXIf", tiff) + source.mid(33));
    const auto in = IOFile::read(QUrl::fromLocalFile(path));

    const OxiPngWorker stripping(5, true);
    EXPECT_FALSE(stripping.arguments(*in, output()).contains("--strip=safe"));

    sandbox.useRealTools();
    auto answer = awaitOutcome(OxiPngWorker(5, true).optimizeFile(in, output()));
    ASSERT_FALSE(answer.failed()) << answer.error().errorDescription().toStdString();
    if (answer.value()) {
        EXPECT_TRUE(ImageIO::hasPngChunk(output().toLocalFile(), "eXIf"));
    }

    // The re-encode turns the pixels instead.
    ToolLocator::overrideResourcesDir(sandbox.resourcesDir());
    ToolLocator::overrideSystemDirs(QStringList{sandbox.systemDir()});
    answer = awaitOutcome(OxiPngWorker(5, true).optimizeFile(in, output("turned.png")));
    ASSERT_FALSE(answer.failed());
    EXPECT_EQ(ImageIO::decodedSize(output("turned.png").toLocalFile()), QSize(86, 201));
    EXPECT_FALSE(ImageIO::hasPngChunk(output("turned.png").toLocalFile(), "eXIf"));
}
