// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
// libvips first: glib names a member "signals", which Qt defines as a keyword.
#include <vips/vips8>

#include "platform/ImageIO.h"
#include "workers/JpegTrailer.h"
#include "workers/PngMetadataChunks.h"
#include "workers/ToolSandbox.h"
#include "workers/WorkerFixture.h"

using namespace TestSupport;

namespace {

// Whole jobs with the real tools, in place, under each preset.
class RasterFidelity : public ::testing::Test {
protected:
    void SetUp() override { sandbox.useRealTools(); }

    ToolSandbox sandbox;
    QTemporaryDir work;
};

const QStringList presets = {QStringLiteral("lossless"), QStringLiteral("balanced"), QStringLiteral("maximum")};

// What a viewer shows: the size once the EXIF orientation is applied, and the colour profile.
std::pair<std::optional<QSize>, QByteArray> looksOf(const QString& path)
{
    const vips::VImage image = vips::VImage::new_from_file(path.toUtf8().constData());
    size_t size = 0;
    const void* profile = image.get_typeof("icc-profile-data") ? image.get_blob("icc-profile-data", &size) : nullptr;
    return {ImageIO::decodedSize(path), QByteArray(static_cast<const char*>(profile), qsizetype(size))};
}

} // namespace

TEST(JpegTrailerTest, TheImageEndsAtItsOwnEndMarkerNotTheLastOne)
{
    const QByteArray photo = readFile(dataFile("jpeg/skimage-rocket.jpg"));
    const QByteArray embedded = readFile(dataFile("jpeg/pingus-clouds.jpg"));
    EXPECT_EQ(JpegTrailer::imageEnd(photo), photo.size());
    EXPECT_EQ(JpegTrailer::imageEnd(photo + embedded + "\xFF\xD9video"), photo.size());
    EXPECT_EQ(JpegTrailer::imageEnd(photo.left(photo.size() - 2)), -1) << "no end marker";
    EXPECT_EQ(JpegTrailer::imageEnd("GIF89a"), -1);
}

TEST_F(RasterFidelity, DataAfterAJpegEndsTheResultUnchanged)
{
    // A motion photo: a second JPEG and a "video" holding FFD9 follow the image.
    QByteArray trailer = readFile(dataFile("jpeg/pingus-clouds.jpg"));
    for (int i = 0; i < 150000; ++i)
        trailer.append(char((i * 7919) >> 3));
    const QByteArray photo = readFile(dataFile("jpeg/skimage-rocket.jpg")) + trailer;
    int replaced = 0;
    for (const QString& preset : presets) {
        const QString path = work.filePath(preset + ".jpg");
        writeFile(path, photo);
        const auto job = optimizeInPlace(path, preset);
        ASSERT_EQ(job->status(), JobStatus::completed) << qPrintable(preset);
        const QByteArray result = readFile(path);
        replaced += result != photo;
        EXPECT_TRUE(result.endsWith(trailer)) << qPrintable(preset);
        EXPECT_EQ(JpegTrailer::imageEnd(result), result.size() - trailer.size()) << qPrintable(preset);
        EXPECT_EQ(job->optimizedSize(), result.size()) << qPrintable(preset);
    }
    EXPECT_EQ(replaced, 3) << "every preset still saves on the image itself";
}

TEST_F(RasterFidelity, AJpegWithCorruptDataFailsAsDamagedAndStaysAsItWas)
{
    for (const QString& preset : presets) {
        const QString path = copyInto("odd/derived-pingus-rocktile-corrupt-data.jpg", work.path(), preset + ".jpg");
        const auto job = optimizeInPlace(path, preset);
        EXPECT_EQ(job->status(), JobStatus::failed) << qPrintable(preset);
        EXPECT_TRUE(job->error() && job->error()->errorDescription().contains("damaged")) << qPrintable(preset);
        EXPECT_EQ(readFile(path), readFile(dataFile("odd/derived-pingus-rocktile-corrupt-data.jpg")));
    }
}

TEST_F(RasterFidelity, LosslessKeepsEveryCommentOfAPng)
{
    ASSERT_TRUE(ImageIO::initialize());
    const QString path = work.filePath("commented.png");
    vips::VImage image = vips::VImage::new_from_file(dataFile("png/pidgin-pidgin-logo.png").toUtf8().constData());
    image = image.copy();
    image.set("png-comment-0-Comment", "drawn by hand");
    image.set("png-comment-1-Author", "someone");
    image.pngsave(path.toUtf8().constData(), vips::VImage::option()->set("compression", 0));
    QByteArrayList comments = PngMetadataChunks::of(path);
    ASSERT_EQ(comments.size(), 3) << "the logo's own comment and two more";

    const auto job = optimizeInPlace(path, QStringLiteral("lossless"));
    ASSERT_EQ(job->status(), JobStatus::completed);
    ASSERT_LT(*job->optimizedSize(), job->originalSize()) << "the run must replace the file";
    QByteArrayList kept = PngMetadataChunks::of(path);
    std::sort(comments.begin(), comments.end());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, comments);
}

TEST_F(RasterFidelity, OrientationAndColourProfileSurviveEveryPreset)
{
    ASSERT_TRUE(ImageIO::initialize());
    const QString rotated = work.filePath("rotated.png");
    writeFile(rotated, PngBytes::withOrientation6());
    const QStringList sources = {dataFile("odd/derived-plasma-summer_1am-640x400-orientation6.jpg"),
                                 dataFile("jpeg/skimage-rocket.jpg"), dataFile("png/debian-debian.png"), rotated};
    for (const QString& source : sources) {
        const auto before = looksOf(source);
        ASSERT_TRUE(before.first) << qPrintable(source);
        int replaced = 0;
        for (const QString& preset : presets) {
            SCOPED_TRACE(qPrintable(preset + ": " + source));
            const QString path = work.filePath(preset + "." + QFileInfo(source).suffix());
            writeFile(path, readFile(source));
            ASSERT_EQ(optimizeInPlace(path, preset)->status(), JobStatus::completed);
            replaced += readFile(path) != readFile(source);
            EXPECT_EQ(looksOf(path), before);
        }
        EXPECT_GT(replaced, 0) << qPrintable(source);
    }
}
