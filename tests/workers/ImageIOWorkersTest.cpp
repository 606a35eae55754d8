#include "WorkerFixture.h"
#include "platform/ImageIO.h"
#include "platform/ImageInspector.h"
#include "workers/HEICWorker.h"
#include "workers/JobWorkingFiles.h"
#include "workers/WebPContainer.h"
#include "workers/WebPWorker.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace TestSupport;

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
};

} // namespace

TEST_F(ImageIOWorkers, LossyReencodesShrinkAndStillDecodeAtTheirSize)
{
    auto webpJob = jobFor(webp);
    auto webpWorker = std::make_shared<WebPWorker>(70.0);
    EXPECT_TRUE(webpWorker->isLossy());
    EXPECT_EQ(webpWorker->name(), "WebP (ImageIO)");
    EXPECT_EQ(runFor(webpWorker, webpJob), std::nullopt);
    ASSERT_TRUE(webpJob->optimizedSize());
    EXPECT_LT(*webpJob->optimizedSize(), webpJob->originalSize());
    const IOFile::Ptr result = JobWorkingFiles::workingInputFile(*webpJob);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->fileType, IOFileType::webp);
    EXPECT_TRUE(QFileInfo(result->localPath()).fileName().startsWith("Pressly.webp."));
    EXPECT_EQ(ImageIO::decodedSize(result->localPath()), QSize(512, 512));

    auto heicJob = jobFor(heic);
    auto heicWorker = std::make_shared<HEICWorker>(70.0);
    EXPECT_EQ(heicWorker->name(), "HEIC (ImageIO)");
    EXPECT_EQ(runFor(heicWorker, heicJob), std::nullopt);
    const IOFile::Ptr heicResult = JobWorkingFiles::workingInputFile(*heicJob);
    ASSERT_TRUE(heicResult);
    EXPECT_EQ(ImageIO::decodedSize(heicResult->localPath()), QSize(451, 300));
    EXPECT_EQ(readFile(heicJob->fileURL().toLocalFile()), readFile(dataFile(heic)));
}

TEST_F(ImageIOWorkers, ImagesOfSeveralFramesAreNeverReencoded)
{
    for (const auto& [relative, worker] :
         {std::pair<QString, std::shared_ptr<ImageIOWorker>>{"odd/derived-wordpress-spinner-animated.webp",
                                                             std::make_shared<WebPWorker>(70.0)},
          std::pair<QString, std::shared_ptr<ImageIOWorker>>{"odd/derived-wordpress-spinner-3-images.heic",
                                                             std::make_shared<HEICWorker>(70.0)}}) {
        auto job = jobFor(relative);
        EXPECT_EQ(runFor(worker, job), std::nullopt) << relative.toStdString();
        EXPECT_FALSE(job->optimizedSize());
    }
    EXPECT_TRUE(sandbox.logged("⚠️ WebP holds more than one image, not re-encoded"));
    EXPECT_TRUE(sandbox.logged("⚠️ HEIC holds more than one image, not re-encoded"));
}

TEST_F(ImageIOWorkers, QualityHundredLosesNothing)
{
    auto heicWorker = std::make_shared<HEICWorker>(100.0);
    EXPECT_FALSE(heicWorker->isLossy());
    auto job = jobFor(heic);
    EXPECT_EQ(runFor(heicWorker, job), std::nullopt);
    EXPECT_FALSE(job->optimizedSize());
    EXPECT_TRUE(sandbox.logged("⚠️ HEIC cannot be re-encoded without loss, skipped"));

    // WebP at 100 is written lossless, and only from a lossless source: a lossy one would only grow.
    WebPWorker webpWorker(100.0);
    const QUrl out = QUrl::fromLocalFile(sandbox.filesDir() + "/out.webp");
    const auto lossy = IOFile::read(QUrl::fromLocalFile(copyInto("odd/gnome-vnc-d.webp", sandbox.filesDir())));
    const auto skipped = awaitOutcome(webpWorker.reencode(lossy, out));
    ASSERT_FALSE(skipped.failed());
    EXPECT_FALSE(skipped.value());
    EXPECT_FALSE(QFileInfo::exists(out.toLocalFile()));
    EXPECT_TRUE(sandbox.logged("⚠️ WebP is lossy already and would only grow without loss, skipped"));

    const QString losslessPath = sandbox.filesDir() + "/lossless.webp";
    ImageIO::Options exact;
    exact.format = ImageIO::Format::webp;
    exact.lossless = true;
    ASSERT_EQ(ImageIO::reencode(copyInto("png/pingus-flag3.png", sandbox.filesDir()), losslessPath, exact).status,
              ImageIO::Status::ok);
    const auto answer = awaitOutcome(webpWorker.reencode(IOFile::read(QUrl::fromLocalFile(losslessPath)), out));
    ASSERT_FALSE(answer.failed()) << answer.error().errorDescription().toStdString();
    EXPECT_EQ(ImageInspector::samePixels(losslessPath, out.toLocalFile(), nullptr), std::optional<bool>(true));
}

TEST(WebPContainer, TellsTheEncodingFromTheChunksAlone)
{
    using Encoding = WebPContainer::Encoding;
    EXPECT_EQ(WebPContainer::encodingOf(dataFile("odd/gnome-vnc-d.webp")), Encoding::lossy);
    EXPECT_EQ(WebPContainer::encodingOf(dataFile(webp)), Encoding::lossy); // VP8X, ALPH, then VP8
    EXPECT_EQ(WebPContainer::encodingOf(dataFile("odd/derived-wordpress-spinner-animated.webp")), Encoding::animated);
    EXPECT_EQ(WebPContainer::encodingOf(dataFile("png/pingus-flag3.png")), Encoding::unknown);

    QTemporaryDir dir;
    // A chunk claiming more bytes than the file has, before any image chunk.
    const QByteArray cut = QByteArray("RIFF\x20\0\0\0WEBPICCP\xff\xff\xff\x7f", 20) + QByteArray(8, 'x');
    writeFile(dir.filePath("cut.webp"), cut);
    EXPECT_EQ(WebPContainer::encodingOf(dir.filePath("cut.webp")), Encoding::unknown);
}

TEST_F(ImageIOWorkers, FailuresNameTheFormat)
{
    auto worker = std::make_shared<WebPWorker>(80.0);
    Failure failure = QCoro::waitFor(worker->run());
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->errorDescription(), "File access error: No job available");

    const QString broken = sandbox.filesDir() + "/broken.webp";
    writeFile(broken, QByteArray("RIFF\x10\0\0\0WEBPVP8 ", 16) + QByteArray(40, '\x01'));
    auto brokenJob = OptimizationJob::create(QUrl::fromLocalFile(broken));
    jobs.push_back(brokenJob);
    failure = runFor(worker, brokenJob);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->errorDescription(), "WebP failed: Could not read WebP image");

    // Exactly the limit is read; one byte more is refused before decoding.
    const QString big = copyInto(heic, sandbox.filesDir(), "big.heic");
    QFile(big).resize(ImageIOWorker::maxInputBytes + 1);
    const auto answer = awaitOutcome(HEICWorker(80.0).reencode(IOFile::read(QUrl::fromLocalFile(big)),
                                                               QUrl::fromLocalFile(sandbox.filesDir() + "/o.heic")));
    ASSERT_TRUE(answer.failed());
    EXPECT_EQ(answer.error().errorDescription(), "HEIC failed: File too large (>50MB)");
    QFile(big).resize(ImageIOWorker::maxInputBytes);
    const auto atLimit = awaitOutcome(HEICWorker(80.0).reencode(IOFile::read(QUrl::fromLocalFile(big)),
                                                                QUrl::fromLocalFile(sandbox.filesDir() + "/o.heic")));
    if (atLimit.failed()) {
        EXPECT_NE(atLimit.error().message(), "File too large (>50MB)");
    }
}
