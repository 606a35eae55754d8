// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TiffDirectory.h"

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

// Anything the tool does not understand or cannot do: its text goes to
// standard error and the command fails without writing a file.
struct DngError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Byte by byte: g++ 12 warns falsely about inserting an initializer list.
inline void appendBytes(std::vector<uint8_t>& out, std::initializer_list<uint8_t> bytes)
{
    for (uint8_t byte : bytes)
        out.push_back(byte);
}

// The byte order of one TIFF file, for reading and writing its numbers.
class ByteOrder {
public:
    explicit ByteOrder(bool littleEndian) : little(littleEndian) { }

    const bool little;

    uint16_t read16(const uint8_t* p) const { return little ? uint16_t(p[0] | p[1] << 8) : uint16_t(p[0] << 8 | p[1]); }
    uint32_t read32(const uint8_t* p) const
    {
        return little ? uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24
                      : uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
    }
    void append16(std::vector<uint8_t>& out, uint16_t v) const
    {
        const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
        little ? appendBytes(out, {b[0], b[1]}) : appendBytes(out, {b[1], b[0]});
    }
    void append32(std::vector<uint8_t>& out, uint32_t v) const
    {
        for (int i = 0; i < 4; ++i)
            out.push_back(uint8_t(v >> (little ? 8 * i : 8 * (3 - i))));
    }
    void put32(std::vector<uint8_t>& out, size_t at, uint32_t v) const
    {
        for (int i = 0; i < 4; ++i)
            out[at + i] = uint8_t(v >> (little ? 8 * i : 8 * (3 - i)));
    }

    // The i-th value of an unsigned integer field (BYTE, SHORT, LONG or IFD).
    uint32_t number(const TiffEntry& entry, size_t i) const
    {
        const size_t width = TiffType::size(entry.type);
        if (i >= entry.count || (i + 1) * width > entry.value.size())
            throw DngError("field " + std::to_string(entry.tag) + " has too few values");
        const uint8_t* p = entry.value.data() + i * width;
        switch (entry.type) {
        case TiffType::byte:
            return p[0];
        case TiffType::shortType:
            return read16(p);
        case TiffType::longType:
        case TiffType::ifd:
            return read32(p);
        default:
            throw DngError("field " + std::to_string(entry.tag) + " is not an unsigned integer");
        }
    }

    TiffEntry longs(uint16_t tag, const std::vector<uint32_t>& values) const
    {
        TiffEntry entry{tag, TiffType::longType, uint32_t(values.size()), {}};
        for (uint32_t v : values)
            append32(entry.value, v);
        return entry;
    }
    TiffEntry shortValue(uint16_t tag, uint16_t value) const
    {
        TiffEntry entry{tag, TiffType::shortType, 1, {}};
        append16(entry.value, value);
        return entry;
    }
};
