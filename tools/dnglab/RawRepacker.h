// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteOrder.h"
#include "RawImage.h"
#include "TiffDirectory.h"

#include <cstdint>
#include <vector>

// Replaces an uncompressed raw image directory's strips with tiles coded as
// lossless JPEG (compression 7). The coded tiles live here, so the repacker
// must outlive the directory's use.
class RawRepacker {
public:
    static constexpr uint32_t maxTileSize = 256; // a multiple of 16, as the format asks

    void repack(TiffDirectory& raw, const RawImage& image, ByteOrder order);

private:
    std::vector<uint8_t> encodeTile(const RawImage& image, uint32_t x, uint32_t y, uint32_t tileWidth,
                                    uint32_t tileLength) const;

    std::vector<std::vector<uint8_t>> tiles_;
};
