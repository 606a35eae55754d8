// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteOrder.h"
#include "TiffDirectory.h"

#include <cstdint>
#include <set>
#include <span>
#include <vector>

// The directories of a classic TIFF file, read field by field from the file's
// bytes (which must outlive it): the chain from the header, with each one's
// sub-directories, EXIF, GPS and interoperability directories and image data.
// Every offset and count is checked against the file; a loop, a value outside
// the file or a type it cannot size is refused.
class TiffTree {
public:
    static TiffTree parse(std::span<const uint8_t> file);

    ByteOrder order{true};
    std::vector<TiffDirectory> chain;

private:
    TiffTree(std::span<const uint8_t> file, ByteOrder order) : order(order), file_(file) { }

    TiffDirectory readDirectory(uint32_t offset, int depth, uint32_t* next);
    TiffEntry readEntry(const uint8_t* at) const;
    void readBlocks(TiffDirectory& directory) const;
    void readLinked(TiffDirectory& directory, int depth);
    std::span<const uint8_t> slice(uint64_t offset, uint64_t length) const;

    std::span<const uint8_t> file_;
    std::set<uint32_t> visited_;
};
