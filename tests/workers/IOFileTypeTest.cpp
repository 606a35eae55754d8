#include "TestSupport.h"
#include "workers/IOFile.h"

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

std::optional<IOFileType> kindOf(const QByteArray& bytes) { return IOFileTypes::fromContent(bytes); }

QByteArray isoMedia(const char* brand)
{
    QByteArray bytes("\x00\x00\x00\x18", 4);
    return bytes + "ftyp" + brand + QByteArray(12, '\0');
}

} // namespace

TEST(IOFileType, RecognisesRealFilesByTheirBytes)
{
    const std::pair<const char*, IOFileType> cases[] = {
        {"png/pingus-flag3.png", IOFileType::png},
        {"jpeg/pingus-clouds.jpg", IOFileType::jpeg},
        {"gif/wordpress-images-spinner.gif", IOFileType::gif},
        {"svg/twemoji-1f534.svg", IOFileType::svg},
        {"webp/converted-adwaita-512x512-camera-web.webp", IOFileType::webp},
        {"heic/converted-skimage-chelsea.heic", IOFileType::heic},
        {"odd/phpmyadmin-dot.gif", IOFileType::gif},
        {"odd/gnome-vnc-d.webp", IOFileType::webp},
        {"odd/Bildschirm Sperre – Linien ü 🎨.svg", IOFileType::svg},
    };
    for (const auto& [file, kind] : cases)
        EXPECT_EQ(kindOf(readFile(dataFile(QString::fromUtf8(file)))), kind) << file;
}

TEST(IOFileType, ContentRulesAtTheirEdges)
{
    EXPECT_EQ(kindOf("GIF87a\x01\x01"), IOFileType::gif);
    EXPECT_EQ(kindOf("GIF88a\x01\x01"), std::nullopt);
    EXPECT_EQ(kindOf("\x89PNG\r\n"), std::nullopt) << "fewer than 8 bytes";
    EXPECT_EQ(kindOf("<svg/>"), std::nullopt) << "fewer than 8 bytes is never SVG";
    EXPECT_EQ(kindOf("RIFF\x10\x00\x00\x00WE"), std::nullopt) << "WebP needs 12 bytes";
    EXPECT_EQ(kindOf(isoMedia("mif1")), IOFileType::heic);
    EXPECT_EQ(kindOf(isoMedia("heix")), IOFileType::heic);
    EXPECT_EQ(kindOf(isoMedia("heif")), std::nullopt);
    EXPECT_EQ(kindOf(isoMedia("avif")), std::nullopt);
    EXPECT_EQ(kindOf(isoMedia("he\xE9" "c")), std::nullopt);
    EXPECT_EQ(kindOf("<?xml version=\"1.0\"?>\n<!-- an SVG drawing -->"), IOFileType::svg);
    EXPECT_EQ(kindOf("<?XML version=\"1.0\"?><SVG width=\"1\"/>"), IOFileType::svg);
    EXPECT_EQ(kindOf("<?xml version=\"1.0\"?><html/>   "), std::nullopt);
    EXPECT_EQ(kindOf(QByteArray(201, ' ') + "<svg/>"), std::nullopt) << "only 200 bytes are looked at";
    EXPECT_EQ(kindOf(QByteArray("<svg \xff\xfe width")), std::nullopt) << "invalid UTF-8 is no text";
}

TEST(IOFile, ContentWinsOverTheNameAndTheNameIsTheFallback)
{
    QTemporaryDir dir;
    const QString mislabelled = copyInto("odd/pingus sprite (really a PNG).jpg", dir.path());
    auto file = IOFile::read(QUrl::fromLocalFile(mislabelled));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->fileType, IOFileType::png);
    EXPECT_EQ(file->byteSize, 11544);

    const QString tiny = dir.filePath("a.png");
    writeFile(tiny, "hello");
    file = IOFile::read(QUrl::fromLocalFile(tiny));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->fileType, IOFileType::png);
    EXPECT_EQ(file->byteSize, 5);

    const QString raw = dir.filePath("camera.DNG");
    writeFile(raw, QByteArray("II*\0", 4) + QByteArray(100, 'x'));
    ASSERT_TRUE(IOFile::read(QUrl::fromLocalFile(raw)));
    EXPECT_EQ(IOFile::read(QUrl::fromLocalFile(raw))->fileType, IOFileType::dng);
}

TEST(IOFile, YieldsNothingForUnreadableOrUnknownFiles)
{
    QTemporaryDir dir;
    const QString empty = dir.filePath("Pressly.oxipng.0000.temp");
    writeFile(empty, "");
    EXPECT_FALSE(IOFile::read(QUrl::fromLocalFile(empty)));

    const QString text = dir.filePath("notes.tif");
    writeFile(text, "just some text, nothing more");
    EXPECT_FALSE(IOFile::read(QUrl::fromLocalFile(text)));

    EXPECT_FALSE(IOFile::read(QUrl::fromLocalFile(dir.filePath("missing.png"))));
    EXPECT_FALSE(IOFile::read(QUrl::fromLocalFile(dir.path())));

    const QString png = copyInto("png/pingus-flag3.png", dir.path(), "Pressly.oxipng.1234.temp");
    auto output = IOFile::read(QUrl::fromLocalFile(png));
    ASSERT_TRUE(output);
    EXPECT_EQ(output->fileType, IOFileType::png);
}
