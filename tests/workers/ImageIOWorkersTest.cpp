// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "WorkerFixture.h"
#include "platform/ImageIO.h"
#include "platform/ImageInspector.h"
#include "workers/HEICWorker.h"
#include "workers/OxiPngWorker.h"
#include "workers/PngquantWorker.h"
#include "workers/WebPContainer.h"
#include "workers/WebPWorker.h"

#include <QFileInfo>

using namespace TestSupport;

// Re-encoding through image I/O: the WebP and HEIC workers, and the PNG
// tools' fallback when no tool is installed (the sandbox has none).
namespace {

const QString webp = QStringLiteral("webp/converted-adwaita-512x512-camera-web.webp");
const QString heic = QStringLiteral("heic/converted-skimage-chelsea.heic");

class ImageIOWorkers : public WorkerFixture {
protected:
    Failure runFor(const std::shared_ptr<ImageIOWorker>& worker, const OptimizationJob::Ptr& job)
    {
        worker->setJob(job);
        return QCoro::waitFor(worker->run());
    }
    IOFile::Ptr written(const QString& name, const QByteArray& bytes)
    {
        writeFile(sandbox.filesDir() + '/' + name, bytes);
        return IOFile::read(QUrl::fromLocalFile(sandbox.filesDir() + '/' + name));
    }
    IOFile::Ptr sized(const IOFile::Ptr& file, qint64 claimed) const
    {
        return std::make_shared<IOFile>(file->path, file->fileType, claimed);
    }
};

} // namespace

TEST_F(ImageIOWorkers, ReencodesShrinkOnlyWhatTheyCanKeep)
{
    // No size: several frames, or a HEIC asked for no loss, are never re-encoded.
    for (const auto& [file, worker, size] :
         {std::tuple<QString, std::shared_ptr<ImageIOWorker>, std::optional<QSize>>{
              webp, std::make_shared<WebPWorker>(70.0), QSize(512, 512)},
          {heic, std::make_shared<HEICWorker>(70.0), QSize(451, 300)},
          {"odd/derived-wordpress-spinner-animated.webp", std::make_shared<WebPWorker>(70.0), std::nullopt},
          {"odd/derived-wordpress-spinner-3-images.heic", std::make_shared<HEICWorker>(70.0), std::nullopt},
          {heic, std::make_shared<HEICWorker>(100.0), std::nullopt}}) {
        auto job = jobFor(file);
        EXPECT_EQ(runFor(worker, job), std::nullopt) << file.toStdString();
        EXPECT_EQ(job->optimizedSize().has_value(), size.has_value()) << file.toStdString();
        EXPECT_EQ(readFile(job->fileURL().toLocalFile()), readFile(dataFile(file)));
        if (!size || !job->optimizedSize())
            continue;
        EXPECT_LT(*job->optimizedSize(), job->originalSize());
        const IOFile::Ptr result = JobWorkingFiles::workingInputFile(*job);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->fileType, IOFileTypes::fromExtension(QFileInfo(file).suffix()));
        EXPECT_EQ(ImageIO::decodedSize(result->localPath()), size);
    }
    EXPECT_TRUE(sandbox.logged("WebP holds more than one image, not re-encoded"));
    EXPECT_TRUE(sandbox.logged("HEIC holds more than one image, not re-encoded"));
    EXPECT_TRUE(sandbox.logged("HEIC cannot be re-encoded without loss, skipped"));
}

TEST_F(ImageIOWorkers, NothingIsLostToAReencode)
{
    // WebP at 100 is written lossless, and only from a lossless source: a lossy one would only grow.
    WebPWorker exact(100.0);
    EXPECT_FALSE(exact.isLossy());
    const QUrl out = output("out.webp");
    const auto skipped = awaitOutcome(exact.reencode(input("odd/gnome-vnc-d.webp"), out));
    ASSERT_FALSE(skipped.failed());
    EXPECT_FALSE(skipped.value());
    EXPECT_FALSE(QFileInfo::exists(out.toLocalFile()));
    EXPECT_TRUE(sandbox.logged("WebP is lossy already and would only grow without loss, skipped"));
    const QString losslessPath = sandbox.filesDir() + "/lossless.webp";
    const ImageIO::Options lossless{.format = ImageIO::Format::webp, .lossless = true};
    ASSERT_EQ(ImageIO::reencode(input("png/pingus-flag3.png")->localPath(), losslessPath, lossless).status,
              ImageIO::Status::ok);
    const auto answer = awaitOutcome(exact.reencode(IOFile::read(QUrl::fromLocalFile(losslessPath)), out));
    ASSERT_FALSE(answer.failed()) << answer.error().errorDescription().toStdString();
    EXPECT_EQ(ImageInspector::samePixels(losslessPath, out.toLocalFile(), nullptr), std::optional<bool>(true));
}

// The PNG fallback keeps the colour profile and the bit depth, turns the
// pixels by the EXIF orientation, and says what it did.
TEST_F(ImageIOWorkers, WithoutToolsThePngFallbackReencodesAndSaysSo)
{
    const auto deep = input("png/imagemagick-radial-gradient.png");
    ASSERT_FALSE(awaitOutcome(OxiPngWorker(2, false).optimizeFile(deep, output("deep.png"))).failed());
    EXPECT_EQ(quint8(readFile(output("deep.png").toLocalFile()).at(24)), 16);
    const auto turned = written("rotated.png", PngBytes::withOrientation6());
    ASSERT_FALSE(awaitOutcome(OxiPngWorker(5, true).optimizeFile(turned, output("turned.png"))).failed());
    EXPECT_EQ(ImageIO::decodedSize(output("turned.png").toLocalFile()), QSize(86, 201));
    EXPECT_FALSE(ImageIO::hasPngChunk(output("turned.png").toLocalFile(), "eXIf"));
    sandbox.clear();
    const auto in = input("png/debian-debian.png");
    auto answer = awaitOutcome(OxiPngWorker(2, false).optimizeFile(in, output("out.png")));
    ASSERT_FALSE(answer.failed()) << answer.error().errorDescription().toStdString();
    EXPECT_TRUE(answer.value());
    const QString out = output("out.png").toLocalFile();
    EXPECT_TRUE(sandbox.logged("oxipng not found, using libvips fallback"));
    EXPECT_TRUE(
        sandbox.logged(QStringLiteral("Original: 14819 bytes, Optimized: %1 bytes").arg(QFileInfo(out).size())));
    EXPECT_EQ(ImageIO::decodedSize(out), QSize(201, 86));
    EXPECT_TRUE(ImageIO::hasPngChunkBeforeImageData(out, "iCCP"));
    EXPECT_FALSE(ImageIO::hasPngChunkBeforeImageData(out, "zTXt"));

    sandbox.clear();
    answer = awaitOutcome(PngquantWorker(75, 3).optimizeFile(input("png/pingus-flag3.png"), output("tiny.png")));
    ASSERT_FALSE(answer.failed());
    EXPECT_FALSE(answer.value());
    EXPECT_TRUE(QFileInfo::exists(output("tiny.png").toLocalFile())); // the caller deletes it
    EXPECT_TRUE(
        sandbox.logged("Note: libvips cannot replicate pngquant's lossy compression, using lossless PNG optimization"));
    EXPECT_TRUE(sandbox.logged("libvips PNG optimization (pngquant fallback) completed: NO_CHANGE"));
}

TEST_F(ImageIOWorkers, HugeBrokenOrHostileInputIsRefusedNamingTheFormat)
{
    HEICWorker heicWorker(80.0);
    WebPWorker webpWorker(80.0);
    OxiPngWorker oxipng(2, false);
    using Run = std::function<QCoro::Task<Outcome<bool>>(IOFile::Ptr, QUrl)>;
    const Run heicRun = [&](IOFile::Ptr in, QUrl out) { return heicWorker.reencode(std::move(in), std::move(out)); };
    const Run webpRun = [&](IOFile::Ptr in, QUrl out) { return webpWorker.reencode(std::move(in), std::move(out)); };
    const Run pngRun = [&](IOFile::Ptr in, QUrl out) { return oxipng.optimizeFile(std::move(in), std::move(out)); };
    const QString big = copyInto(heic, sandbox.filesDir(), "big.heic");
    QFile(big).resize(FallbackReencoder::maxInputBytes + 1);
    const auto png = input("png/debian-debian.png");
    // A header claiming 40000 × 40000 pixels, refused before any pixel is decoded.
    const QByteArray bomb = QByteArray("\x89PNG\r\n\x1a\n", 8)
                            + PngBytes::chunk("IHDR", QByteArray::fromHex("00009c4000009c400806000000"))
                            + PngBytes::chunk("IDAT", QByteArray::fromHex("789c6300000000010001"))
                            + PngBytes::chunk("IEND", {});
    // empty: accepted
    struct Case {
        IOFile::Ptr in;
        Run run;
        QString error;
    };
    const Case cases[] = {
        {IOFile::read(QUrl::fromLocalFile(big)), heicRun, "HEIC failed: File too large (>50MB)"},
        {written("broken.webp", QByteArray("RIFF\x10\0\0\0WEBPVP8 ", 16) + QByteArray(40, '\x01')), webpRun,
         "WebP failed: Could not read WebP image"},
        {sized(png, FallbackReencoder::maxInputBytes + 1), pngRun, "libvips failed: File too large (>50MB)"},
        {sized(png, FallbackReencoder::maxInputBytes), pngRun, ""},
        {written("bomb.png", bomb), pngRun, "libvips failed: File too large"},
        {written("broken.png", readFile(png->localPath()).left(2000)), pngRun,
         "libvips failed: Could not read PNG image"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in->localPath().toStdString());
        const auto answer = awaitOutcome(c.run(c.in, output("out")));
        EXPECT_EQ(answer.failed(), !c.error.isEmpty());
        if (answer.failed()) {
            EXPECT_TRUE(answer.error().errorDescription().startsWith(c.error))
                << answer.error().errorDescription().toStdString();
        }
    }
}

TEST(WebPContainer, TellsTheEncodingFromTheChunksAlone)
{
    using Encoding = WebPContainer::Encoding;
    QTemporaryDir dir;
    // A chunk claiming more bytes than the file has, before any image chunk.
    writeFile(dir.filePath("cut.webp"), QByteArray("RIFF\x20\0\0\0WEBPICCP\xff\xff\xff\x7f", 20) + QByteArray(8, 'x'));
    for (const auto& [path, encoding] : {std::pair{dataFile("odd/gnome-vnc-d.webp"), Encoding::lossy},
                                         {dataFile(webp), Encoding::lossy}, // VP8X, ALPH, VP8
                                         {dataFile("odd/derived-wordpress-spinner-animated.webp"), Encoding::animated},
                                         {dataFile("png/pingus-flag3.png"), Encoding::unknown},
                                         {dir.filePath("cut.webp"), Encoding::unknown}})
        EXPECT_EQ(WebPContainer::encodingOf(path), encoding) << path.toStdString();
}
