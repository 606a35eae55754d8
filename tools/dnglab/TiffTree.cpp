// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TiffTree.h"

#include <string>

namespace {
constexpr int maxDepth = 6;
constexpr size_t maxDirectories = 256;
} // namespace

TiffTree TiffTree::parse(std::span<const uint8_t> file)
{
    if (file.size() < 8)
        throw DngError("not a TIFF file: too short");
    const bool little = file[0] == 'I' && file[1] == 'I';
    if (!little && !(file[0] == 'M' && file[1] == 'M'))
        throw DngError("not a TIFF file: no byte-order mark");
    TiffTree tree(file, ByteOrder(little));
    const uint16_t magic = tree.order.read16(file.data() + 2);
    if (magic == 43)
        throw DngError("BigTIFF files are not supported");
    if (magic != 42)
        throw DngError("not a TIFF file: wrong magic number");
    uint32_t offset = tree.order.read32(file.data() + 4);
    while (offset != 0) {
        uint32_t next = 0;
        tree.chain.push_back(tree.readDirectory(offset, 0, &next));
        offset = next;
    }
    return tree;
}

std::span<const uint8_t> TiffTree::slice(uint64_t offset, uint64_t length) const
{
    if (offset > file_.size() || length > file_.size() - offset)
        throw DngError("a value lies outside the file (offset " + std::to_string(offset) + ", " + std::to_string(length)
                       + " bytes)");
    return file_.subspan(offset, length);
}

TiffDirectory TiffTree::readDirectory(uint32_t offset, int depth, uint32_t* next)
{
    if (depth > maxDepth || visited_.size() >= maxDirectories)
        throw DngError("too many nested directories");
    if (!visited_.insert(offset).second)
        throw DngError("the directories form a loop");
    const uint16_t count = order.read16(slice(offset, 2).data());
    const auto fields = slice(uint64_t(offset) + 2, uint64_t(count) * 12 + 4);
    TiffDirectory directory;
    directory.sourceOffset = offset;
    for (uint16_t i = 0; i < count; ++i)
        directory.entries.push_back(readEntry(fields.data() + i * 12));
    *next = order.read32(fields.data() + count * 12);
    readBlocks(directory);
    readLinked(directory, depth);
    return directory;
}

TiffEntry TiffTree::readEntry(const uint8_t* at) const
{
    TiffEntry entry{order.read16(at), order.read16(at + 2), order.read32(at + 4), {}};
    const size_t width = TiffType::size(entry.type);
    if (width == 0)
        throw DngError("field " + std::to_string(entry.tag) + " has unknown type " + std::to_string(entry.type));
    const uint64_t length = uint64_t(entry.count) * width;
    const auto bytes = length <= 4 ? std::span<const uint8_t>(at + 8, length) : slice(order.read32(at + 8), length);
    entry.value.assign(bytes.begin(), bytes.end());
    return entry;
}

void TiffTree::readBlocks(TiffDirectory& directory) const
{
    for (uint16_t offsetsTag : {TiffTag::stripOffsets, TiffTag::tileOffsets, TiffTag::jpegInterchange}) {
        const TiffEntry* offsets = directory.find(offsetsTag);
        if (!offsets)
            continue;
        const TiffEntry* counts = directory.find(TiffTag::countsFor(offsetsTag));
        if (!counts || counts->count != offsets->count)
            throw DngError("image data offsets without matching byte counts (field " + std::to_string(offsetsTag)
                           + ")");
        auto& blocks = directory.blocks[offsetsTag];
        for (uint32_t i = 0; i < offsets->count; ++i)
            blocks.push_back(slice(order.number(*offsets, i), order.number(*counts, i)));
    }
}

void TiffTree::readLinked(TiffDirectory& directory, int depth)
{
    uint32_t ignored = 0;
    if (const TiffEntry* subs = directory.find(TiffTag::subIFDs))
        for (uint32_t i = 0; i < subs->count; ++i)
            directory.subDirectories.push_back(readDirectory(order.number(*subs, i), depth + 1, &ignored));
    for (uint16_t tag : {TiffTag::exifIFD, TiffTag::gpsIFD, TiffTag::interopIFD})
        if (const TiffEntry* pointer = directory.find(tag))
            directory.pointed[tag] = readDirectory(order.number(*pointer, 0), depth + 1, &ignored);
    for (const TiffEntry& entry : directory.entries)
        if (entry.type == TiffType::ifd && entry.tag != TiffTag::subIFDs && !directory.pointed.count(entry.tag))
            throw DngError("field " + std::to_string(entry.tag) + " points at a directory this tool does not know");
}
