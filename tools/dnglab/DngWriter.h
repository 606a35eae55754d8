// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteOrder.h"
#include "TiffDirectory.h"

#include <cstdint>
#include <vector>

// Lays out a classic TIFF file from directories: each directory's data, its
// sub-directories and its out-of-line values come before it, so every offset
// is known when it is written. Fields are sorted by tag; values keep their
// bytes, only the offset fields are new.
class DngWriter {
public:
    static std::vector<uint8_t> write(const std::vector<TiffDirectory>& chain, ByteOrder order);

private:
    explicit DngWriter(ByteOrder order) : order_(order) { }

    uint32_t writeDirectory(const TiffDirectory& directory, uint32_t next);
    std::vector<TiffEntry> placeLinked(const TiffDirectory& directory);
    uint32_t here();

    ByteOrder order_;
    std::vector<uint8_t> out_;
};
