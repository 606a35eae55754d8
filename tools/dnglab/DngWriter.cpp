// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DngWriter.h"

#include <algorithm>
#include <limits>

std::vector<uint8_t> DngWriter::write(const std::vector<TiffDirectory>& chain, ByteOrder order)
{
    DngWriter writer(order);
    auto& out = writer.out_;
    const auto mark = uint8_t(order.little ? 'I' : 'M');
    appendBytes(out, {mark, mark});
    order.append16(out, 42);
    order.append32(out, 0); // the first directory's offset, once known
    uint32_t next = 0;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        next = writer.writeDirectory(*it, next);
    order.put32(out, 4, next);
    return std::move(writer.out_);
}

uint32_t DngWriter::here()
{
    if (out_.size() % 2)
        out_.push_back(0); // offsets fall on word boundaries
    if (out_.size() > std::numeric_limits<uint32_t>::max())
        throw DngError("the new file would exceed 4 GB");
    return uint32_t(out_.size());
}

std::vector<TiffEntry> DngWriter::placeLinked(const TiffDirectory& directory)
{
    std::vector<TiffEntry> placed;
    if (!directory.subDirectories.empty()) {
        std::vector<uint32_t> offsets;
        for (const TiffDirectory& sub : directory.subDirectories)
            offsets.push_back(writeDirectory(sub, 0));
        placed.push_back(order_.longs(TiffTag::subIFDs, offsets));
    }
    for (const auto& [tag, pointed] : directory.pointed)
        placed.push_back(order_.longs(tag, {writeDirectory(pointed, 0)}));
    for (const auto& [tag, blocks] : directory.blocks) {
        std::vector<uint32_t> offsets, counts;
        for (const auto& block : blocks) {
            offsets.push_back(here());
            counts.push_back(uint32_t(block.size()));
            out_.insert(out_.end(), block.begin(), block.end());
        }
        placed.push_back(order_.longs(tag, offsets));
        placed.push_back(order_.longs(TiffTag::countsFor(tag), counts));
    }
    return placed;
}

uint32_t DngWriter::writeDirectory(const TiffDirectory& directory, uint32_t next)
{
    std::vector<TiffEntry> entries = placeLinked(directory);
    for (const TiffEntry& entry : directory.entries)
        if (std::none_of(entries.begin(), entries.end(), [&](const TiffEntry& e) { return e.tag == entry.tag; })
            && entry.tag != TiffTag::subIFDs)
            entries.push_back(entry);
    std::sort(entries.begin(), entries.end(), [](const TiffEntry& a, const TiffEntry& b) { return a.tag < b.tag; });
    if (entries.size() > std::numeric_limits<uint16_t>::max())
        throw DngError("a directory has too many fields");

    std::vector<uint32_t> valueOffsets;
    for (const TiffEntry& entry : entries) {
        valueOffsets.push_back(entry.value.size() > 4 ? here() : 0);
        if (entry.value.size() > 4)
            out_.insert(out_.end(), entry.value.begin(), entry.value.end());
    }
    const uint32_t start = here();
    order_.append16(out_, uint16_t(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        const TiffEntry& entry = entries[i];
        order_.append16(out_, entry.tag);
        order_.append16(out_, entry.type);
        order_.append32(out_, entry.count);
        if (entry.value.size() > 4) {
            order_.append32(out_, valueOffsets[i]);
        } else {
            out_.insert(out_.end(), entry.value.begin(), entry.value.end());
            out_.insert(out_.end(), 4 - entry.value.size(), 0);
        }
    }
    order_.append32(out_, next);
    return start;
}
