// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

// One field of an image file directory, its value kept as the bytes the file
// holds (in the file's byte order), so that tags nobody here understands
// travel unchanged.
struct TiffEntry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    std::vector<uint8_t> value;
};

// A directory and everything it owns: the images its offset tags point at
// (strips, tiles, an embedded JPEG), its sub-directories and the EXIF, GPS and
// interoperability directories. Offsets are not kept: the writer makes new ones.
struct TiffDirectory {
    uint32_t sourceOffset = 0;
    std::vector<TiffEntry> entries;
    std::map<uint16_t, std::vector<std::span<const uint8_t>>> blocks; // offsets tag → data
    std::vector<TiffDirectory> subDirectories; // SubIFDs
    std::map<uint16_t, TiffDirectory> pointed; // EXIF, GPS, interoperability

    const TiffEntry* find(uint16_t tag) const;
    void remove(uint16_t tag);
    void put(TiffEntry entry); // replaces a field of the same tag
};

namespace TiffTag {
constexpr uint16_t newSubFileType = 254, imageWidth = 256, imageLength = 257, bitsPerSample = 258, compression = 259,
                   photometric = 262, stripOffsets = 273, samplesPerPixel = 277, rowsPerStrip = 278,
                   stripByteCounts = 279, predictor = 317, tileWidth = 322, tileLength = 323, tileOffsets = 324,
                   tileByteCounts = 325, subIFDs = 330, jpegInterchange = 513, jpegInterchangeLength = 514,
                   exifIFD = 34665, gpsIFD = 34853, interopIFD = 40965;
// The byte-count tag that goes with an offsets tag, or 0.
uint16_t countsFor(uint16_t offsetsTag);
} // namespace TiffTag

namespace TiffType {
constexpr uint16_t byte = 1, ascii = 2, shortType = 3, longType = 4, ifd = 13;
// Bytes per value of a classic TIFF type, 0 for types it does not have.
size_t size(uint16_t type);
} // namespace TiffType

constexpr uint32_t cfaPhotometric = 32803;
constexpr uint32_t linearRawPhotometric = 34892;
