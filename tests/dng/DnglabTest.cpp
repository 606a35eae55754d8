// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DngSampleWriter.h"
#include "TestSupport.h"
#include "platform/RawImageComparison.h"

#include <QFileInfo>

#include <cstdio>
#include <vector>

using namespace TestSupport;

namespace {

RunResult dnglab(const QStringList& extra, const QString& in, const QString& out)
{
    return run(QStringLiteral(PRESSLY_BINARY_DIR "/share/pressly-pro/BundledTools/bin/dnglab"),
               QStringList{"convert", "--compression", "lossless", "--embed-raw", "false"} + extra
                   + QStringList{"-f", in, out});
}

const QStringList noPreviews{"--dng-preview", "false", "--dng-thumbnail", "false"};

// Sets the first value of a field of the first directory of a little-endian
// TIFF file, as a hostile or broken writer would leave it.
void patchField(QByteArray& bytes, uint16_t tag, uint32_t value)
{
    // Bounds-checked bytes: every offset here comes from the file itself.
    std::vector<uchar> b(bytes.begin(), bytes.end());
    auto u16 = [&](size_t at) { return quint16(b.at(at) | b.at(at + 1) << 8); };
    auto u32 = [&](size_t at) { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; };
    const size_t directory = u32(4);
    for (uint16_t i = 0; i < u16(directory); ++i) {
        const size_t entry = directory + 2 + i * 12u;
        if (u16(entry) != tag)
            continue;
        const uint32_t size = u16(entry + 2) == 3 ? 2 : 4;
        const size_t at = u32(entry + 4) * size > 4 ? u32(entry + 8) : entry + 8;
        for (uint32_t k = 0; k < size; ++k)
            b.at(at + k) = uchar(value >> (8 * k));
    }
    bytes = QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

class Dnglab : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(Dnglab, RepackingKeepsEveryRawSampleAndTheMetadataAndShrinksTheFile)
{
    struct Case {
        const char* name;
        DngSample sample;
    };
    const Case cases[] = {
        {"12-bit, thumbnail and preview", {1200, 800, 12, false, true, true, true, 1, 1}},
        {"14-bit, odd width, rotated", {1001, 667, 14, false, true, false, true, 6, 2}},
        {"16-bit, raw first, no EXIF", {640, 480, 16, false, false, false, false, 1, 3}},
        {"16-bit linear raw, odd size", {101, 251, 16, true, true, true, true, 8, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString in = path("in.dng");
        ASSERT_TRUE(DngSampleWriter::write(in, c.sample));
        const RawFacts before = RawFacts::of(in);
        ASSERT_TRUE(before.decoded);
        EXPECT_EQ(before.iso, c.sample.exif ? 400.0f : 0.0f);
        for (const bool strip : {false, true}) {
            const QString out = path(strip ? "stripped.dng" : "out.dng");
            const RunResult ran = dnglab(strip ? noPreviews : QStringList{}, in, out);
            ASSERT_EQ(ran.exitCode, 0) << qPrintable(ran.err);
            EXPECT_EQ(RawImageComparison::difference(in, out), std::nullopt);
            const RawFacts after = RawFacts::of(out);
            EXPECT_TRUE(after.decoded);
            EXPECT_EQ(after.iso, before.iso);
            EXPECT_EQ(after.shot, before.shot);
            EXPECT_EQ(after.thumbnailWidth, strip ? 0 : before.thumbnailWidth);
            std::printf("[ saved    ] %s%s: %lld -> %lld bytes (%.1f %%)\n", c.name, strip ? ", stripped" : "",
                        QFileInfo(in).size(), QFileInfo(out).size(),
                        100.0 * double(QFileInfo(in).size() - QFileInfo(out).size()) / double(QFileInfo(in).size()));
        }
        EXPECT_LT(QFileInfo(path("out.dng")).size(), QFileInfo(in).size() * 9 / 10);
    }
    // Already compressed: nothing to gain, nothing written.
    EXPECT_EQ(dnglab({}, path("out.dng"), path("again.dng")).exitCode, 0);
    EXPECT_FALSE(QFileInfo::exists(path("again.dng")));
}

TEST_F(Dnglab, BrokenAndHostileFilesAreRefusedWithoutWritingAnything)
{
    ASSERT_TRUE(DngSampleWriter::write(path("good.dng"), {.thumbnail = false, .exif = false}));
    const QByteArray good = readFile(path("good.dng"));
    struct Case {
        const char* name;
        std::function<void(QByteArray&)> damage;
    };
    const Case cases[] = {
        {"empty", [](QByteArray& b) { b.clear(); }},
        {"not a TIFF file", [](QByteArray& b) { b.replace(0, 4, "GIF8"); }},
        {"truncated strips", [](QByteArray& b) { b.truncate(b.size() / 2); }},
        {"strip outside the file", [](QByteArray& b) { patchField(b, 273, 0x7FFFFFF0); }},
        {"huge strip byte count", [](QByteArray& b) { patchField(b, 279, 0xFFFFFF00); }},
        {"huge declared size",
         [](QByteArray& b) {
             patchField(b, 256, 60000);
             patchField(b, 257, 60000);
         }},
        {"zero width", [](QByteArray& b) { patchField(b, 256, 0); }},
        {"strips too short for the rows", [](QByteArray& b) { patchField(b, 278, 1); }},
        {"no raw image", [](QByteArray& b) { patchField(b, 262, 2); }},
        {"32 bits per sample", [](QByteArray& b) { patchField(b, 258, 32); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray bytes = good;
        c.damage(bytes);
        writeFile(path("bad.dng"), bytes);
        const RunResult ran = dnglab({}, path("bad.dng"), path("out.dng"));
        EXPECT_NE(ran.exitCode, 0);
        EXPECT_TRUE(ran.err.startsWith("dnglab: ")) << qPrintable(ran.err);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "only the two inputs remain";
    }
}
