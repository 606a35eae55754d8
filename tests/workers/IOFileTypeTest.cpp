// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"
#include "workers/IOFile.h"

using namespace TestSupport;

namespace {

QByteArray isoMedia(const char* brand)
{
    return QByteArray("\0\0\0\x18", 4) + "ftyp" + brand + QByteArray(12, '\0');
}

} // namespace

TEST(IOFileType, ContentRulesAtTheirEdges)
{
    const auto sample = [](const char* file) { return readFile(dataFile(QString::fromUtf8(file))); };
    const std::pair<QByteArray, std::optional<IOFileType>> cases[] = {
        {sample("odd/phpmyadmin-dot.gif"), IOFileType::gif},
        {sample("odd/gnome-vnc-d.webp"), IOFileType::webp},
        {sample("odd/Bildschirm Sperre – Linien ü 🎨.svg"), IOFileType::svg},
        {sample("heic/converted-skimage-chelsea.heic"), IOFileType::heic},
        {"GIF87a\x01\x01", IOFileType::gif},
        {"GIF88a\x01\x01", std::nullopt},
        {"\x89PNG\r\n", std::nullopt}, // fewer than 8 bytes
        {"<svg/>", std::nullopt},
        {QByteArray("RIFF\x10\0\0\0WE", 10), std::nullopt}, // WebP needs 12 bytes
        {isoMedia("mif1"), IOFileType::heic},
        {isoMedia("heix"), IOFileType::heic},
        {isoMedia("heif"), std::nullopt},
        {isoMedia("avif"), std::nullopt},
        {isoMedia("he\xE9\x63"), std::nullopt}, // not ASCII
        {"<?xml version=\"1.0\"?>\n<!-- an SVG drawing -->", IOFileType::svg},
        {"<?XML version=\"1.0\"?><SVG width=\"1\"/>", IOFileType::svg},
        {"<?xml version=\"1.0\"?><html/>   ", std::nullopt},
        {QByteArray(201, ' ') + "<svg/>", std::nullopt}, // only 200 bytes are looked at
        {"<svg \xff\xfe width", std::nullopt}, // invalid UTF-8 is no text
    };
    for (const auto& [bytes, kind] : cases)
        EXPECT_EQ(IOFileTypes::fromContent(bytes), kind) << bytes.left(40).toStdString();
}

// The content wins over the name; the name is the fallback; a file that is
// empty, missing, a folder or unknown by both yields nothing.
TEST(IOFile, ReadsTheKindFromTheContentThenTheName)
{
    QTemporaryDir dir;
    const QByteArray png = readFile(dataFile("png/pingus-flag3.png"));
    const struct {
        const char* name;
        QByteArray bytes;
        std::optional<IOFileType> kind;
    } cases[] = {
        {"pingus sprite (really a PNG).jpg", png, IOFileType::png},
        {"Pressly.oxipng.1234.temp", png, IOFileType::png},
        {"a.png", "hello", IOFileType::png},
        {"camera.DNG", QByteArray("II*\0", 4) + QByteArray(100, 'x'), IOFileType::dng},
        {"Pressly.oxipng.0000.temp", "", std::nullopt},
        {"notes.tif", "just some text, nothing more", std::nullopt},
    };
    for (const auto& c : cases) {
        writeFile(dir.filePath(c.name), c.bytes);
        const auto file = IOFile::read(QUrl::fromLocalFile(dir.filePath(c.name)));
        EXPECT_EQ(file ? std::optional(file->fileType) : std::nullopt, c.kind) << c.name;
        EXPECT_EQ(file ? file->byteSize : c.bytes.size(), c.bytes.size()) << c.name;
    }
    EXPECT_FALSE(IOFile::read(QUrl::fromLocalFile(dir.filePath("missing.png"))));
    EXPECT_FALSE(IOFile::read(QUrl::fromLocalFile(dir.path())));
}
