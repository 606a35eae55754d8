// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RawImage.h"
#include "TiffDirectory.h"

#include <cstdint>
#include <span>

// Decodes an uncompressed raw image directory with libtiff from a file held in
// memory. Refuses what it cannot decode exactly: other compressions, sample
// formats, bit orders and layouts, sizes the file cannot hold, short data.
class RawImageReader {
public:
    static RawImage read(std::span<const uint8_t> file, const TiffDirectory& raw);
};
