// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DngSampleWriter.h"

#include <libraw/libraw.h>
#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

struct Closer {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using Tiff = std::unique_ptr<TIFF, Closer>;

std::vector<uint8_t> pack(const uint16_t* values, size_t count, uint16_t bits)
{
    std::vector<uint8_t> out;
    if (bits == 16) { // in the host's order: libtiff orders 16-bit samples itself
        out.resize(count * 2);
        std::memcpy(out.data(), values, count * 2);
        return out;
    }
    uint32_t buffer = 0, held = 0;
    for (size_t i = 0; i < count; ++i) {
        buffer = buffer << bits | values[i];
        held += bits;
        while (held >= 8) {
            held -= 8;
            out.push_back(uint8_t(buffer >> held));
        }
    }
    if (held)
        out.push_back(uint8_t(buffer << (8 - held)));
    return out;
}

// An 8-bit RGB image in a directory of its own: a thumbnail or a preview.
bool writeRgb(TIFF* tiff, uint32_t width, uint32_t height)
{
    TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, FILETYPE_REDUCEDIMAGE);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, height);
    std::vector<uint8_t> row(width * 3);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < row.size(); ++x)
            row[x] = uint8_t(x * 7 + y * 3);
        if (TIFFWriteScanline(tiff, row.data(), y) < 0)
            return false;
    }
    return TIFFWriteDirectory(tiff);
}

void setDngFields(TIFF* tiff, const DngSample& sample)
{
    static const uint8_t version[4] = {1, 4, 0, 0};
    static const float matrix[9] = {0.8f, -0.2f, -0.1f, -0.4f, 1.2f, 0.2f, -0.1f, 0.2f, 0.6f};
    TIFFSetField(tiff, TIFFTAG_DNGVERSION, version);
    TIFFSetField(tiff, TIFFTAG_UNIQUECAMERAMODEL, "Pressly Test Camera");
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, sample.orientation);
    TIFFSetField(tiff, TIFFTAG_COLORMATRIX1, 9, matrix);
}

void setRawFields(TIFF* tiff, const DngSample& sample)
{
    const uint16_t spp = sample.linearRaw ? 3 : 1;
    TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, 0);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, sample.width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, sample.height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, sample.bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, spp);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, sample.linearRaw ? 34892 : 32803);
    if (!sample.linearRaw) {
        static const uint16_t dim[2] = {2, 2};
        static const uint8_t rggb[4] = {0, 1, 1, 2};
        TIFFSetField(tiff, TIFFTAG_CFAREPEATPATTERNDIM, dim);
        TIFFSetField(tiff, TIFFTAG_CFAPATTERN, 4, rggb);
    }
    const float black = float(1 << (sample.bits - 6));
    const uint32_t white = (1u << sample.bits) - 1;
    TIFFSetField(tiff, TIFFTAG_BLACKLEVEL, 1, &black);
    TIFFSetField(tiff, TIFFTAG_WHITELEVEL, 1, &white);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 16);
}

// The raw samples the file holds, row by row: a smooth scene under each
// filter colour plus sensor noise, which compresses about as much as real raw data.
std::vector<uint16_t> samples(const DngSample& sample)
{
    std::mt19937 random(sample.seed);
    std::normal_distribution<double> noise(0.0, double(1 << (sample.bits - 9)));
    const uint32_t spp = sample.linearRaw ? 3 : 1;
    const double top = double((1u << sample.bits) - 1);
    std::vector<uint16_t> values(size_t(sample.width) * sample.height * spp);
    size_t i = 0;
    for (uint32_t y = 0; y < sample.height; ++y)
        for (uint32_t x = 0; x < sample.width * spp; ++x) {
            const uint32_t colour = spp == 3 ? x % 3 : (y % 2) * 2 + x % 2;
            const double scene = 0.3 + 0.25 * std::sin(x * 0.01 + colour) * std::cos(y * 0.008);
            values[i++] = uint16_t(std::clamp(scene * top + noise(random), 0.0, top));
        }
    return values;
}

bool writeRaw(TIFF* tiff, const DngSample& sample)
{
    setRawFields(tiff, sample);
    const uint32_t spp = sample.linearRaw ? 3 : 1;
    const std::vector<uint16_t> values = samples(sample);
    const size_t rowCount = size_t(sample.width) * spp;
    for (uint32_t y = 0; y < sample.height; ++y) {
        auto bytes = pack(values.data() + y * rowCount, rowCount, sample.bits);
        if (TIFFWriteScanline(tiff, bytes.data(), y) < 0)
            return false;
    }
    return TIFFWriteDirectory(tiff);
}

uint64_t writeExif(TIFF* tiff)
{
    static const uint8_t makerNote[] = "PresslyMakerNote\0\1\2\3\4\5";
    uint16_t iso[1] = {400};
    if (TIFFCreateEXIFDirectory(tiff) != 0)
        return 0;
    TIFFSetField(tiff, EXIFTAG_EXPOSURETIME, 0.008);
    TIFFSetField(tiff, EXIFTAG_ISOSPEEDRATINGS, 1, iso);
    TIFFSetField(tiff, EXIFTAG_DATETIMEORIGINAL, "2026:01:02 03:04:05");
    TIFFSetField(tiff, EXIFTAG_MAKERNOTE, uint32_t(sizeof makerNote), makerNote);
    uint64_t offset = 0;
    if (!TIFFWriteCustomDirectory(tiff, &offset))
        return 0;
    TIFFCreateDirectory(tiff);
    return offset;
}

} // namespace

RawFacts RawFacts::of(const QString& path)
{
    RawFacts facts;
    libraw_data_t* raw = libraw_init(0);
    if (libraw_open_file(raw, path.toLocal8Bit().constData()) == LIBRAW_SUCCESS)
        facts = {libraw_unpack(raw) == LIBRAW_SUCCESS, raw->other.iso_speed, raw->other.timestamp,
                 raw->thumbnail.twidth};
    libraw_close(raw);
    return facts;
}

bool DngSampleWriter::write(const QString& path, const DngSample& sample)
{
    Tiff tiff(TIFFOpen(path.toLocal8Bit().constData(), "w"));
    if (!tiff)
        return false;
    const uint64_t exif = sample.exif ? writeExif(tiff.get()) : 0;
    if (sample.exif && exif == 0)
        return false;
    if (sample.thumbnail) {
        uint64_t subs[2] = {0, 0};
        TIFFSetField(tiff.get(), TIFFTAG_SUBIFD, uint16_t(1 + sample.preview), subs);
    }
    setDngFields(tiff.get(), sample);
    if (exif)
        TIFFSetField(tiff.get(), TIFFTAG_EXIFIFD, exif);
    if (!(sample.thumbnail ? writeRgb(tiff.get(), 40, 30) : writeRaw(tiff.get(), sample)))
        return false;
    // With a thumbnail first, the raw image and the preview are its sub-directories.
    return (!sample.thumbnail || writeRaw(tiff.get(), sample)) && (!sample.preview || writeRgb(tiff.get(), 80, 60));
}
