// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "RawRepacker.h"

#include "LosslessJpegEncoder.h"

#include <algorithm>

namespace {
// The multiple of 16 that pads the image least, the largest of equals. Some
// readers cannot take a tile wider than the image, so across it may not be.
uint32_t tileSide(uint32_t imageSide, bool mayExceedImage)
{
    uint32_t best = 0;
    uint64_t leastPadded = UINT64_MAX;
    for (uint32_t side = 16; side <= RawRepacker::maxTileSize; side += 16) {
        if (side > imageSide && !mayExceedImage)
            break;
        const uint64_t padded = uint64_t((imageSide + side - 1) / side) * side;
        if (padded <= leastPadded) {
            leastPadded = padded;
            best = side;
        }
    }
    if (best == 0)
        throw DngError("the raw image is too narrow to be tiled");
    return best;
}
} // namespace

void RawRepacker::repack(TiffDirectory& raw, const RawImage& image, ByteOrder order)
{
    const uint32_t tileWidth = tileSide(image.width, false);
    const uint32_t tileLength = tileSide(image.height, true);
    tiles_.clear();
    for (uint32_t y = 0; y < image.height; y += tileLength)
        for (uint32_t x = 0; x < image.width; x += tileWidth)
            tiles_.push_back(encodeTile(image, x, y, tileWidth, tileLength));

    for (uint16_t tag : {TiffTag::stripOffsets, TiffTag::stripByteCounts, TiffTag::rowsPerStrip, TiffTag::predictor,
                         TiffTag::tileOffsets, TiffTag::tileByteCounts})
        raw.remove(tag);
    raw.blocks.erase(TiffTag::stripOffsets);
    raw.put(order.shortValue(TiffTag::compression, 7));
    raw.put(order.longs(TiffTag::tileWidth, {tileWidth}));
    raw.put(order.longs(TiffTag::tileLength, {tileLength}));
    auto& blocks = raw.blocks[TiffTag::tileOffsets];
    blocks.assign(tiles_.begin(), tiles_.end());
}

std::vector<uint8_t> RawRepacker::encodeTile(const RawImage& image, uint32_t x, uint32_t y, uint32_t tileWidth,
                                             uint32_t tileLength) const
{
    // Tiles past the image's edge are full-sized; the last column and row are
    // repeated into them, which costs almost nothing to code.
    const uint32_t spp = image.samplesPerPixel;
    const size_t stride = size_t(tileWidth) * spp;
    std::vector<uint16_t> tile(stride * tileLength);
    const uint32_t columns = std::min(tileWidth, image.width - x);
    for (uint32_t r = 0; r < tileLength; ++r) {
        const uint32_t sourceRow = std::min(y + r, image.height - 1);
        const uint16_t* from = image.samples.data() + (size_t(sourceRow) * image.width + x) * spp;
        uint16_t* to = tile.data() + r * stride;
        std::copy_n(from, size_t(columns) * spp, to);
        for (uint32_t c = columns; c < tileWidth; ++c)
            std::copy_n(to + size_t(columns - 1) * spp, spp, to + size_t(c) * spp);
    }
    // A colour filter row alternates colours: coded as pairs, each sample is
    // predicted from the last one of its own colour.
    const bool pairs = image.cfa && spp == 1;
    LosslessJpegEncoder::Frame frame;
    frame.samples = tile.data();
    frame.rowStride = stride;
    frame.width = pairs ? tileWidth / 2 : tileWidth;
    frame.components = pairs ? 2 : spp;
    frame.height = tileLength;
    frame.precision = image.bitsPerSample;
    return LosslessJpegEncoder::encode(frame);
}
