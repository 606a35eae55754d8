// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TiffDirectory.h"

#include <algorithm>

const TiffEntry* TiffDirectory::find(uint16_t tag) const
{
    const auto it = std::find_if(entries.begin(), entries.end(), [tag](const TiffEntry& e) { return e.tag == tag; });
    return it == entries.end() ? nullptr : &*it;
}

void TiffDirectory::remove(uint16_t tag)
{
    std::erase_if(entries, [tag](const TiffEntry& e) { return e.tag == tag; });
}

void TiffDirectory::put(TiffEntry entry)
{
    remove(entry.tag);
    entries.push_back(std::move(entry));
}

uint16_t TiffTag::countsFor(uint16_t offsetsTag)
{
    switch (offsetsTag) {
    case stripOffsets:
        return stripByteCounts;
    case tileOffsets:
        return tileByteCounts;
    case jpegInterchange:
        return jpegInterchangeLength;
    default:
        return 0;
    }
}

size_t TiffType::size(uint16_t type)
{
    static constexpr size_t sizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
    return type < std::size(sizes) ? sizes[type] : 0;
}
