// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "RawImageReader.h"

#include "ByteOrder.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

thread_local std::string lastLibtiffMessage;

void keepMessage(const char* module, const char* format, va_list args)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    lastLibtiffMessage = std::string(module ? module : "libtiff") + ": " + text;
}

void ignoreWarning(const char*, const char*, va_list)
{
}

struct MemoryFile {
    std::span<const uint8_t> bytes;
    uint64_t position = 0;
};

tsize_t readMemory(thandle_t handle, tdata_t buffer, tsize_t size)
{
    auto* file = static_cast<MemoryFile*>(handle);
    if (size < 0 || file->position >= file->bytes.size())
        return 0;
    const size_t n = std::min<uint64_t>(uint64_t(size), file->bytes.size() - file->position);
    std::memcpy(buffer, file->bytes.data() + file->position, n);
    file->position += n;
    return tsize_t(n);
}

tsize_t writeNothing(thandle_t, tdata_t, tsize_t)
{
    return -1;
}

toff_t seekMemory(thandle_t handle, toff_t offset, int whence)
{
    auto* file = static_cast<MemoryFile*>(handle);
    const uint64_t base = whence == SEEK_CUR ? file->position : whence == SEEK_END ? file->bytes.size() : 0;
    file->position = base + offset;
    return file->position;
}

int closeNothing(thandle_t)
{
    return 0;
}
toff_t memorySize(thandle_t handle)
{
    return static_cast<MemoryFile*>(handle)->bytes.size();
}
int mapNothing(thandle_t, tdata_t*, toff_t*)
{
    return 0;
}
void unmapNothing(thandle_t, tdata_t, toff_t)
{
}

struct Closer {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

template <typename T> T field(TIFF* tiff, ttag_t tag, T fallback)
{
    T value = fallback;
    return TIFFGetField(tiff, tag, &value) == 1 ? value : fallback;
}

[[noreturn]] void fail(const std::string& why)
{
    throw DngError(why + (lastLibtiffMessage.empty() ? "" : " (" + lastLibtiffMessage + ")"));
}

// Rows of 8 and 16 bits are whole bytes (16-bit ones already in host order);
// other depths are packed with the most significant bit first.
void unpackRow(const uint8_t* in, uint16_t* out, size_t count, uint32_t bits)
{
    if (bits == 8) {
        std::copy(in, in + count, out);
        return;
    }
    if (bits == 16) {
        std::memcpy(out, in, count * 2);
        return;
    }
    uint64_t buffer = 0;
    uint32_t held = 0;
    const uint32_t mask = (1u << bits) - 1;
    for (size_t i = 0; i < count; ++i) {
        while (held < bits) {
            buffer = buffer << 8 | *in++;
            held += 8;
        }
        held -= bits;
        out[i] = uint16_t(buffer >> held & mask);
    }
}

class Decoder {
public:
    Decoder(TIFF* tiff, RawImage& image, uint64_t fileSize, const TiffDirectory& raw)
        : tiff_(tiff), image_(image), fileSize_(fileSize), raw_(raw)
    {
    }

    void readStrips()
    {
        const uint32_t rowsPerStrip = std::min(field<uint32_t>(tiff_, TIFFTAG_ROWSPERSTRIP, image_.height),
                                               image_.height);
        if (rowsPerStrip == 0)
            fail("the raw image has no rows per strip");
        const size_t rowBytes = packedBytes(image_.width);
        std::vector<uint8_t> buffer(size_t(TIFFStripSize(tiff_)));
        for (uint32_t row = 0; row < image_.height; row += rowsPerStrip) {
            const uint32_t rows = std::min(rowsPerStrip, image_.height - row);
            const tmsize_t got = TIFFReadEncodedStrip(tiff_, TIFFComputeStrip(tiff_, row, 0), buffer.data(),
                                                      tmsize_t(buffer.size()));
            if (got < 0 || size_t(got) < rows * rowBytes || stripBytes(row / rowsPerStrip) < rows * rowBytes)
                fail("the raw image's data is short or unreadable at row " + std::to_string(row));
            for (uint32_t r = 0; r < rows; ++r)
                unpackRow(buffer.data() + r * rowBytes, rowAt(row + r), size_t(image_.width) * image_.samplesPerPixel,
                          image_.bitsPerSample);
        }
    }

    void readTiles()
    {
        const uint32_t tileWidth = field<uint32_t>(tiff_, TIFFTAG_TILEWIDTH, 0);
        const uint32_t tileLength = field<uint32_t>(tiff_, TIFFTAG_TILELENGTH, 0);
        if (tileWidth == 0 || tileLength == 0 || tileWidth > 65536 || tileLength > 65536)
            fail("the raw image's tiles have an impossible size");
        const size_t rowBytes = packedBytes(tileWidth);
        if (uint64_t(tileLength) * rowBytes > fileSize_)
            fail("the raw image's tiles claim more data than the file holds");
        std::vector<uint8_t> buffer(size_t(TIFFTileSize(tiff_)));
        std::vector<uint16_t> row(size_t(tileWidth) * image_.samplesPerPixel);
        size_t tileIndex = 0;
        for (uint32_t y = 0; y < image_.height; y += tileLength)
            for (uint32_t x = 0; x < image_.width; x += tileWidth) {
                const tmsize_t got = TIFFReadEncodedTile(tiff_, TIFFComputeTile(tiff_, x, y, 0, 0), buffer.data(),
                                                         tmsize_t(buffer.size()));
                if (got < 0 || size_t(got) < tileLength * rowBytes || stripBytes(tileIndex++) < tileLength * rowBytes)
                    fail("the raw image's tile at " + std::to_string(x) + "," + std::to_string(y) + " is unreadable");
                const uint32_t columns = std::min(tileWidth, image_.width - x);
                for (uint32_t r = 0; r < tileLength && y + r < image_.height; ++r) {
                    unpackRow(buffer.data() + r * rowBytes, row.data(), row.size(), image_.bitsPerSample);
                    std::copy_n(row.data(), size_t(columns) * image_.samplesPerPixel,
                                rowAt(y + r) + size_t(x) * image_.samplesPerPixel);
                }
            }
    }

private:
    // The bytes the file declares for a strip or tile: libtiff makes up a
    // layout of its own when the declared one does not add up.
    size_t stripBytes(size_t index) const
    {
        for (uint16_t tag : {TiffTag::stripOffsets, TiffTag::tileOffsets})
            if (const auto it = raw_.blocks.find(tag); it != raw_.blocks.end())
                return index < it->second.size() ? it->second[index].size() : 0;
        return 0;
    }

    size_t packedBytes(uint32_t columns) const
    {
        return (uint64_t(columns) * image_.samplesPerPixel * image_.bitsPerSample + 7) / 8;
    }
    uint16_t* rowAt(uint32_t y) { return image_.samples.data() + size_t(y) * image_.width * image_.samplesPerPixel; }

    TIFF* tiff_;
    RawImage& image_;
    uint64_t fileSize_;
    const TiffDirectory& raw_;
};

void checkLayout(TIFF* tiff, const RawImage& image, uint64_t fileSize)
{
    if (field<uint16_t>(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE) != COMPRESSION_NONE)
        fail("the raw image is already compressed");
    if (image.width == 0 || image.height == 0 || image.width > 65535 || image.height > 65535)
        fail("the raw image's size " + std::to_string(image.width) + "×" + std::to_string(image.height)
             + " is not supported");
    if (image.bitsPerSample < 8 || image.bitsPerSample > 16)
        fail(std::to_string(image.bitsPerSample) + " bits per sample are not supported");
    if (image.cfa ? image.samplesPerPixel != 1 : image.samplesPerPixel < 1 || image.samplesPerPixel > 4)
        fail(std::to_string(image.samplesPerPixel) + " samples per pixel are not supported here");
    if (field<uint16_t>(tiff, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT) != SAMPLEFORMAT_UINT)
        fail("only unsigned integer samples are supported");
    if (field<uint16_t>(tiff, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB) != FILLORDER_MSB2LSB)
        fail("least-significant-bit-first data is not supported");
    if (image.samplesPerPixel > 1
        && field<uint16_t>(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) != PLANARCONFIG_CONTIG)
        fail("separate sample planes are not supported");
    // Uncompressed data cannot be smaller than its samples: a larger claim is a lie.
    const uint64_t packed = uint64_t(image.width) * image.height * image.samplesPerPixel * image.bitsPerSample / 8;
    if (packed > fileSize)
        fail("the raw image claims more data than the file holds");
}

} // namespace

RawImage RawImageReader::read(std::span<const uint8_t> file, const TiffDirectory& raw)
{
    TIFFSetErrorHandler(keepMessage);
    TIFFSetWarningHandler(ignoreWarning);
    lastLibtiffMessage.clear();
    MemoryFile memory{file, 0};
    std::unique_ptr<TIFF, Closer> tiff(TIFFClientOpen("raw", "rc", &memory, readMemory, writeNothing, seekMemory,
                                                      closeNothing, memorySize, mapNothing, unmapNothing));
    if (!tiff)
        fail("libtiff cannot open the file");
    if (TIFFSetSubDirectory(tiff.get(), raw.sourceOffset) != 1)
        fail("libtiff cannot read the raw image's directory");
    RawImage image;
    image.width = field<uint32_t>(tiff.get(), TIFFTAG_IMAGEWIDTH, 0);
    image.height = field<uint32_t>(tiff.get(), TIFFTAG_IMAGELENGTH, 0);
    image.bitsPerSample = field<uint16_t>(tiff.get(), TIFFTAG_BITSPERSAMPLE, 1);
    image.samplesPerPixel = field<uint16_t>(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, 1);
    image.cfa = field<uint16_t>(tiff.get(), TIFFTAG_PHOTOMETRIC, 0) == cfaPhotometric;
    checkLayout(tiff.get(), image, file.size());
    image.samples.resize(size_t(image.width) * image.height * image.samplesPerPixel);
    Decoder decoder(tiff.get(), image, file.size(), raw);
    TIFFIsTiled(tiff.get()) ? decoder.readTiles() : decoder.readStrips();
    return image;
}
