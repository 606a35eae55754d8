#include "TestSupport.h"
#include "platform/ImageIO.h"

#include <QtConcurrent>

#include <gtest/gtest.h>

using namespace TestSupport;
using Status = ImageIO::Status;

namespace {
ImageIO::Options as(ImageIO::Format format) { return {.format = format, .quality = 80}; }
} // namespace

TEST(ImageIO, ReencodesWhatItCanShowAndRefusesTheRest)
{
    QTemporaryDir dir;
    const auto copy = [&](const char* relative) { return copyInto(relative, dir.path()); };
    const QString logo = copy("png/pidgin-pidgin-logo.png");
    const QString output = dir.filePath("out");
    // as shown: the EXIF orientation applied
    struct Case { QString input; ImageIO::Format format; Status status; QByteArray magic; std::optional<QSize> size; };
    const Case cases[] = {
        {logo, ImageIO::Format::png, Status::ok, "\x89PNG", QSize(330, 90)},
        {logo, ImageIO::Format::jpeg, Status::ok, "\xFF\xD8\xFF", QSize(330, 90)},
        {logo, ImageIO::Format::webp, Status::ok, "RIFF", QSize(330, 90)},
        {copy("odd/plasma-summer_1am-2560x1600-orientation6-added.jpg"), ImageIO::Format::jpeg, Status::ok, "\xFF\xD8",
         QSize(1600, 2560)},
        {copy("odd/skimage-truncated.jpg"), ImageIO::Format::jpeg, Status::unreadable, {}, {}},
        // A new file would keep the pixels made up for corrupt data.
        {copy("odd/derived-pingus-rocktile-corrupt-data.jpg"), ImageIO::Format::jpeg, Status::unreadable, {}, {}},
        {copy("gif/wordpress-images-spinner.gif"), ImageIO::Format::jpeg, Status::animated, {}, {}},
        {dir.filePath("missing.png"), ImageIO::Format::jpeg, Status::unreadable, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.toStdString());
        QFile::remove(output);
        const auto result = ImageIO::reencode(c.input, output, as(c.format));
        EXPECT_EQ(result.status, c.status) << result.detail.toStdString();
        EXPECT_TRUE(readFile(output).startsWith(c.magic));
        EXPECT_EQ(ImageIO::decodedSize(output), c.size);
    }
    EXPECT_EQ(ImageIO::reencode(logo, dir.filePath("no/dir/out"), as(ImageIO::Format::jpeg)).status,
              Status::cannotCreateOutput);
    EXPECT_EQ(ImageIO::decodedSize(copy("odd/skimage-truncated.jpg")), std::nullopt);
    EXPECT_EQ(readFile(logo), readFile(dataFile("png/pidgin-pidgin-logo.png")));

    for (const auto& [relative, animated] : {std::pair{"gif/wordpress-images-spinner.gif", true},
                                             std::pair{"odd/gimphelp-warp-ex-swirl.png", true},
                                             std::pair{"png/debian-debian.png", false}})
        EXPECT_EQ(ImageIO::isAnimated(copy(relative)), animated) << relative;
}

TEST(ImageIO, AWebPGainsNoExifOfItsOwnAndKeepsItsProfile)
{
    QTemporaryDir dir;
    const QString photo = copyInto("jpeg/skimage-rocket.jpg", dir.path());
    ASSERT_EQ(ImageIO::reencode(photo, dir.filePath("photo.webp"), as(ImageIO::Format::webp)).status, Status::ok);
    const QByteArray written = readFile(dir.filePath("photo.webp"));
    EXPECT_FALSE(written.contains("EXIF"));
    EXPECT_TRUE(written.contains("ICCP"));
    EXPECT_EQ(ImageIO::decodedSize(dir.filePath("photo.webp")), QSize(640, 427));
}

TEST(ImageIO, ErrorsOfOneCallDoNotLeakIntoTheNextAcrossThreads)
{
    QTemporaryDir dir;
    const QString good = copyInto("png/debian-debian.png", dir.path());
    const QString bad = copyInto("odd/skimage-truncated.jpg", dir.path());
    const auto first = ImageIO::reencode(bad, dir.filePath("first"), {});
    EXPECT_EQ(ImageIO::reencode(bad, dir.filePath("again"), {}).detail, first.detail) << "earlier errors are not repeated";
    QList<QFuture<ImageIO::Result>> runs;
    for (int i = 0; i < 8; ++i) {
        const QString input = i % 2 ? bad : good;
        const QString output = dir.filePath(QStringLiteral("out%1").arg(i));
        runs << QtConcurrent::run([input, output] { return ImageIO::reencode(input, output, {}); });
    }
    for (int i = 0; i < runs.size(); ++i) {
        const auto result = runs[i].result();
        EXPECT_EQ(result.status, i % 2 ? Status::unreadable : Status::ok);
        if (i % 2 == 0) {
            EXPECT_TRUE(result.detail.isEmpty());
        }
    }
}
