#include "TestSupport.h"
#include "platform/ImageIO.h"

#include <QFileInfo>
#include <QtConcurrent>

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

QString copy(const QTemporaryDir& dir, const QString& relative) { return copyInto(relative, dir.path()); }

} // namespace

TEST(ImageIO, EncodesEveryFormatFromOneDecodedImage)
{
    QTemporaryDir dir;
    const QString input = copy(dir, "png/pidgin-pidgin-logo.png");
    const std::pair<ImageIO::Format, QByteArray> formats[] = {{ImageIO::Format::png, "\x89PNG"},
                                                              {ImageIO::Format::jpeg, "\xFF\xD8\xFF"},
                                                              {ImageIO::Format::webp, "RIFF"}};
    int index = 0;
    for (const auto& [format, magic] : formats) {
        const QString output = dir.filePath(QStringLiteral("out%1").arg(index++));
        ImageIO::Options options;
        options.format = format;
        options.quality = 80;
        const auto result = ImageIO::reencode(input, output, options);
        ASSERT_EQ(result.status, ImageIO::Status::ok) << result.detail.toStdString();
        EXPECT_TRUE(readFile(output).startsWith(magic));
        EXPECT_EQ(ImageIO::decodedSize(output), QSize(330, 90));
    }
    EXPECT_EQ(readFile(input), readFile(dataFile("png/pidgin-pidgin-logo.png")));

    // libvips adds an EXIF chunk of its own to a WebP; the colour profile stays.
    ImageIO::Options webp;
    webp.format = ImageIO::Format::webp;
    webp.quality = 80;
    ASSERT_EQ(ImageIO::reencode(copy(dir, "jpeg/skimage-rocket.jpg"), dir.filePath("photo.webp"), webp).status,
              ImageIO::Status::ok);
    const QByteArray written = readFile(dir.filePath("photo.webp"));
    EXPECT_FALSE(written.contains("EXIF"));
    EXPECT_TRUE(written.contains("ICCP"));
    EXPECT_EQ(ImageIO::decodedSize(dir.filePath("photo.webp")), QSize(640, 427));
}

TEST(ImageIO, AppliesTheOrientationAndRefusesBrokenOrAnimatedInput)
{
    QTemporaryDir dir;
    const QString rotated = copy(dir, "odd/plasma-summer_1am-2560x1600-orientation6-added.jpg");
    const QString output = dir.filePath("out");
    ImageIO::Options jpeg;
    jpeg.format = ImageIO::Format::jpeg;
    jpeg.quality = 70;
    ASSERT_EQ(ImageIO::reencode(rotated, output, jpeg).status, ImageIO::Status::ok);
    EXPECT_EQ(ImageIO::decodedSize(output), QSize(1600, 2560));

    EXPECT_EQ(ImageIO::reencode(copy(dir, "odd/skimage-truncated.jpg"), output, jpeg).status,
              ImageIO::Status::unreadable);
    EXPECT_EQ(ImageIO::decodedSize(copy(dir, "odd/skimage-truncated.jpg")), std::nullopt);
    EXPECT_EQ(ImageIO::reencode(copy(dir, "odd/derived-pingus-rocktile-corrupt-data.jpg"), output, jpeg).status,
              ImageIO::Status::unreadable)
        << "a new file would keep the pixels made up for corrupt data";
    EXPECT_EQ(ImageIO::reencode(copy(dir, "gif/wordpress-images-spinner.gif"), output, jpeg).status,
              ImageIO::Status::animated);
    EXPECT_TRUE(ImageIO::isAnimated(copy(dir, "gif/wordpress-images-spinner.gif")));
    EXPECT_TRUE(ImageIO::isAnimated(copy(dir, "odd/gimphelp-warp-ex-swirl.png")));
    EXPECT_FALSE(ImageIO::isAnimated(copy(dir, "png/debian-debian.png")));
    EXPECT_EQ(ImageIO::reencode(dir.filePath("missing.png"), output, jpeg).status, ImageIO::Status::unreadable);
    EXPECT_EQ(ImageIO::reencode(copy(dir, "png/debian-debian.png"), dir.filePath("no/dir/out"), jpeg).status,
              ImageIO::Status::cannotCreateOutput);
}

TEST(ImageIO, ErrorsOfOneCallDoNotLeakIntoTheNextAcrossThreads)
{
    QTemporaryDir dir;
    const QString good = copy(dir, "png/debian-debian.png");
    const QString bad = copy(dir, "odd/skimage-truncated.jpg");
    QList<QFuture<ImageIO::Result>> runs;
    for (int i = 0; i < 8; ++i) {
        const QString input = i % 2 ? bad : good;
        const QString output = dir.filePath(QStringLiteral("out%1").arg(i));
        runs << QtConcurrent::run([input, output] { return ImageIO::reencode(input, output, {}); });
    }
    for (int i = 0; i < runs.size(); ++i) {
        const auto result = runs[i].result();
        EXPECT_EQ(result.status, i % 2 ? ImageIO::Status::unreadable : ImageIO::Status::ok);
        if (i % 2 == 0) {
            EXPECT_TRUE(result.detail.isEmpty());
        }
    }
}
