// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
// libvips first: glib names a member "signals", which Qt defines as a keyword.
#include <vips/vips8>

#include "TestSupport.h"
#include "platform/ImageIO.h"
#include "platform/ImageInspector.h"

#include <QtConcurrent>

#include <webp/mux.h>

using namespace TestSupport;
using Status = ImageIO::Status;

namespace {
ImageIO::Options as(ImageIO::Format format)
{
    return {.format = format, .quality = 80};
}

// The encoded image of a WebP (alpha included), without its container's chunks.
QByteArray bitstreamOf(const QString& path)
{
    const QByteArray bytes = readFile(path);
    const WebPData file{reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())};
    WebPMux* mux = WebPMuxCreate(&file, 0);
    WebPMuxFrameInfo frame;
    QByteArray image;
    if (mux && WebPMuxGetFrame(mux, 1, &frame) == WEBP_MUX_OK) {
        image = QByteArray(reinterpret_cast<const char*>(frame.bitstream.bytes), qsizetype(frame.bitstream.size));
        WebPDataClear(&frame.bitstream);
    }
    WebPMuxDelete(mux);
    return image;
}
} // namespace

TEST(ImageIO, ReencodesWhatItCanShowAndRefusesTheRest)
{
    QTemporaryDir dir;
    const auto copy = [&](const char* relative) { return copyInto(relative, dir.path()); };
    const QString logo = copy("png/pidgin-pidgin-logo.png");
    const QString output = dir.filePath("out");
    // as shown: the EXIF orientation applied
    struct Case {
        QString input;
        ImageIO::Format format;
        Status status;
        QByteArray magic;
        std::optional<QSize> size;
    };
    const Case cases[] = {
        {logo, ImageIO::Format::png, Status::ok, "\x89PNG", QSize(330, 90)},
        {logo, ImageIO::Format::jpeg, Status::ok, "\xFF\xD8\xFF", QSize(330, 90)},
        {logo, ImageIO::Format::webp, Status::ok, "RIFF", QSize(330, 90)},
        {copy("odd/derived-plasma-summer_1am-640x400-orientation6.jpg"), ImageIO::Format::jpeg, Status::ok, "\xFF\xD8",
         QSize(400, 640)},
        {copy("odd/skimage-truncated.jpg"), ImageIO::Format::jpeg, Status::unreadable, {}, {}},
        // A new file would keep the pixels made up for corrupt data.
        {copy("odd/derived-pingus-rocktile-corrupt-data.jpg"), ImageIO::Format::jpeg, Status::unreadable, {}, {}},
        {copy("gif/wordpress-images-spinner.gif"), ImageIO::Format::jpeg, Status::animated, {}, {}},
        {dir.filePath("missing.png"), ImageIO::Format::jpeg, Status::unreadable, {}, {}},
        // Refused by its header: checking its data for damage first took gigabytes.
        {dir.filePath("claims-200-megapixels.jpg"), ImageIO::Format::jpeg, Status::tooManyPixels, {}, {}},
    };
    writeFile(dir.filePath("claims-200-megapixels.jpg"), jpegClaiming(20000, 10000));
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

    for (const auto& [relative, animated] :
         {std::pair{"gif/wordpress-images-spinner.gif", true}, std::pair{"odd/gimphelp-warp-ex-swirl.png", true},
          std::pair{"png/debian-debian.png", false}})
        EXPECT_EQ(ImageIO::isAnimated(copy(relative)), animated) << relative;
}

// Byte for byte as libvips encodes it, with no EXIF block of its own and the photo's profile kept.
TEST(ImageIO, AWebPIsEncodedAsLibvipsEncodesItWithoutExifOfItsOwn)
{
    QTemporaryDir dir;
    const QString photo = copyInto("jpeg/skimage-rocket.jpg", dir.path());
    const QString camera = copyInto("webp/converted-adwaita-512x512-camera-web.webp", dir.path());
    const ImageIO::Options lossless{.format = ImageIO::Format::webp, .lossless = true};
    for (const auto& [input, options] : {std::pair{photo, as(ImageIO::Format::webp)},
                                         std::pair{camera, as(ImageIO::Format::webp)}, std::pair{camera, lossless}}) {
        ASSERT_EQ(ImageIO::reencode(input, dir.filePath("out.webp"), options).status, Status::ok);
        vips::VImage::new_from_file(input.toUtf8().constData())
            .webpsave(dir.filePath("libvips.webp").toUtf8().constData(),
                      vips::VImage::option()->set("Q", options.quality)->set("lossless", options.lossless));
        const QByteArray image = bitstreamOf(dir.filePath("out.webp"));
        EXPECT_FALSE(image.isEmpty());
        EXPECT_EQ(image, bitstreamOf(dir.filePath("libvips.webp"))) << input.toStdString();
        const QByteArray written = readFile(dir.filePath("out.webp"));
        EXPECT_FALSE(written.contains("EXIF"));
        EXPECT_EQ(written.contains("ICCP"), input == photo);
    }
}

TEST(ImageIO, ErrorsOfOneCallDoNotLeakIntoTheNextAcrossThreads)
{
    QTemporaryDir dir;
    const QString good = copyInto("png/debian-debian.png", dir.path());
    const QString bad = copyInto("odd/skimage-truncated.jpg", dir.path());
    const auto first = ImageIO::reencode(bad, dir.filePath("first"), {});
    EXPECT_EQ(ImageIO::reencode(bad, dir.filePath("again"), {}).detail, first.detail)
        << "earlier errors are not repeated";
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

namespace {

// A look at a large still WebP and the bytes a pixel that libvips may hold
// meanwhile: the canvas its header load reserves without touching it (4),
// and 3 for each image decoded. Its own loader holds far more.
struct LargeWebPLook {
    const char* name;
    bool (*run)(const QString& source, const QString& copy, const QString& output);
    double bytesPerPixel;
};

void PrintTo(const LargeWebPLook& look, std::ostream* out)
{
    *out << look.name;
}

class LargeWebP : public ::testing::TestWithParam<LargeWebPLook> { };

QString why;

} // namespace

// What libvips allocates only grows in a process: run alone (as ctest does),
// each look is checked; after a larger one it passes unchecked, never fails.
TEST_P(LargeWebP, IsDecodedIntoOneBufferWhereverItsPixelsAreRead)
{
    ASSERT_TRUE(ImageIO::initialize());
    QTemporaryDir dir;
    const int side = 2048;
    const QString source = dir.filePath("large.webp");
    const vips::VImage xy = vips::VImage::xyz(side, side) % 256;
    xy.bandjoin(xy[0] ^ xy[1])
        .cast(VIPS_FORMAT_UCHAR)
        .copy(vips::VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB))
        .webpsave(source.toUtf8().constData(), vips::VImage::option()->set("Q", 90)->set("effort", 0));
    ASSERT_TRUE(QFile::copy(source, dir.filePath("copy.webp")));

    const double before = double(vips_tracked_get_mem_highwater());
    ASSERT_TRUE(GetParam().run(source, dir.filePath("copy.webp"), dir.filePath("out.webp"))) << why.toStdString();
    EXPECT_LE(double(vips_tracked_get_mem_highwater()), std::max(before, GetParam().bytesPerPixel * side * side));
}

INSTANTIATE_TEST_SUITE_P(
    ImageIO, LargeWebP,
    ::testing::Values(LargeWebPLook{"Reencoded",
                                    [](const QString& source, const QString&, const QString& output) {
                                        return ImageIO::reencode(source, output, as(ImageIO::Format::webp)).status
                                               == Status::ok;
                                    },
                                    7.5},
                      LargeWebPLook{"Inspected",
                                    [](const QString& source, const QString&, const QString&) {
                                        return ImageInspector::inspect(source, &why).has_value();
                                    },
                                    7.5},
                      LargeWebPLook{"ComparedExactly",
                                    [](const QString& source, const QString& copy, const QString&) {
                                        return ImageInspector::samePixels(source, copy, &why).value_or(false);
                                    },
                                    10.5},
                      LargeWebPLook{"ComparedForLoss",
                                    [](const QString& source, const QString& copy, const QString&) {
                                        return ImageInspector::deviation(source, copy, &why).has_value();
                                    },
                                    10.5}),
    [](const auto& info) { return std::string(info.param.name); });
