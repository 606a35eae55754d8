// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "LosslessJpegEncoder.h"

#include "ByteOrder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <stdexcept>

namespace {

constexpr int categories = 17; // difference magnitudes 0 to 16 bits

struct HuffmanTable {
    std::array<uint8_t, 16> lengthCounts{}; // codes of 1 to 16 bits
    std::vector<uint8_t> symbols; // by code length
    std::array<uint16_t, categories> code{};
    std::array<uint8_t, categories> size{};
};

// Code lengths from the frequencies, limited to 16 bits (T.81 annex K.2).
HuffmanTable fitTable(std::array<uint32_t, categories> counts)
{
    std::array<uint64_t, categories + 1> freq{};
    std::copy(counts.begin(), counts.end(), freq.begin());
    freq[categories] = 1; // reserved: no code may be all ones
    std::array<int, categories + 1> codeSize{};
    std::array<int, categories + 1> others;
    others.fill(-1);
    for (;;) {
        int v1 = -1, v2 = -1;
        for (int i = 0; i <= categories; ++i)
            if (freq[i] && (v1 < 0 || freq[i] <= freq[v1]))
                v1 = i;
        for (int i = 0; i <= categories; ++i)
            if (freq[i] && i != v1 && (v2 < 0 || freq[i] <= freq[v2]))
                v2 = i;
        if (v2 < 0)
            break;
        freq[v1] += freq[v2];
        freq[v2] = 0;
        for (++codeSize[v1]; others[v1] >= 0; ++codeSize[v1])
            v1 = others[v1];
        others[v1] = v2;
        for (++codeSize[v2]; others[v2] >= 0; ++codeSize[v2])
            v2 = others[v2];
    }
    std::array<int, 33> bits{};
    for (int i = 0; i <= categories; ++i)
        if (codeSize[i])
            ++bits[codeSize[i]];
    for (int i = 32; i > 16; --i)
        while (bits[i] > 0) {
            int j = i - 2;
            while (bits[j] == 0)
                --j;
            bits[i] -= 2;
            ++bits[i - 1];
            bits[j + 1] += 2;
            --bits[j];
        }
    int longest = 16;
    while (bits[longest] == 0)
        --longest;
    --bits[longest]; // drop the reserved code

    HuffmanTable table;
    for (int length = 1; length <= 32; ++length)
        for (int i = 0; i < categories; ++i)
            if (codeSize[i] == length)
                table.symbols.push_back(uint8_t(i));
    for (int i = 0; i < 16; ++i)
        table.lengthCounts[i] = uint8_t(bits[i + 1]);
    // Canonical codes in the order of the symbol list (annex C).
    uint32_t code = 0;
    size_t k = 0;
    for (int length = 1; length <= 16; ++length, code <<= 1)
        for (int n = 0; n < bits[length]; ++n, ++code, ++k) {
            table.code[table.symbols[k]] = uint16_t(code);
            table.size[table.symbols[k]] = uint8_t(length);
        }
    return table;
}

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) { }

    void put(uint32_t bits, uint32_t count)
    {
        if (count == 0)
            return;
        buffer_ = buffer_ << count | (bits & ((1u << count) - 1));
        held_ += count;
        while (held_ >= 8) {
            held_ -= 8;
            const uint8_t byte = uint8_t(buffer_ >> held_);
            out_.push_back(byte);
            if (byte == 0xFF)
                out_.push_back(0); // stuffed, so no marker is seen
        }
    }
    void flush()
    {
        if (held_ > 0)
            put(0x7F, 8 - held_); // padded with one bits
    }

private:
    std::vector<uint8_t>& out_;
    uint64_t buffer_ = 0;
    uint32_t held_ = 0;
};

void marker(std::vector<uint8_t>& out, uint8_t code, const std::vector<uint8_t>& body)
{
    const size_t length = body.size() + 2;
    appendBytes(out, {0xFF, code, uint8_t(length >> 8), uint8_t(length)});
    out.insert(out.end(), body.begin(), body.end());
}

void header(std::vector<uint8_t>& out, const LosslessJpegEncoder::Frame& frame, const HuffmanTable& table)
{
    appendBytes(out, {0xFF, 0xD8});
    std::vector<uint8_t> huffman{0x00}; // DC table 0
    huffman.insert(huffman.end(), table.lengthCounts.begin(), table.lengthCounts.end());
    huffman.insert(huffman.end(), table.symbols.begin(), table.symbols.end());
    marker(out, 0xC4, huffman);
    const auto n = uint8_t(frame.components);
    std::vector<uint8_t> frameHeader{uint8_t(frame.precision),  uint8_t(frame.height >> 8), uint8_t(frame.height),
                                     uint8_t(frame.width >> 8), uint8_t(frame.width),       n};
    std::vector<uint8_t> scan{n};
    for (uint8_t c = 1; c <= n; ++c) {
        appendBytes(frameHeader, {c, 0x11, 0x00});
        appendBytes(scan, {c, 0x00});
    }
    appendBytes(scan, {0x01, 0x00, 0x00}); // predictor 1, no point transform
    marker(out, 0xC3, frameHeader);
    marker(out, 0xDA, scan);
}

} // namespace

std::vector<uint8_t> LosslessJpegEncoder::encode(const Frame& frame)
{
    if (frame.precision < 2 || frame.precision > 16 || frame.components < 1 || frame.components > 4 || frame.width == 0
        || frame.height == 0 || frame.width > 65535 || frame.height > 65535)
        throw std::invalid_argument("lossless JPEG frame out of range");
    const size_t rowSamples = size_t(frame.width) * frame.components;
    std::vector<int32_t> differences(rowSamples * frame.height);
    std::array<uint32_t, categories> counts{};
    const int32_t initial = 1 << (frame.precision - 1);
    for (uint32_t y = 0; y < frame.height; ++y) {
        const uint16_t* row = frame.samples + y * frame.rowStride;
        const uint16_t* above = y ? row - frame.rowStride : nullptr;
        int32_t* diff = differences.data() + y * rowSamples;
        for (size_t i = 0; i < rowSamples; ++i) {
            const int32_t predicted = i >= frame.components ? row[i - frame.components] : above ? above[i] : initial;
            // Modulo 2^16: at 16 bits the difference may wrap.
            const auto d = int32_t(int16_t(uint16_t(row[i] - predicted)));
            diff[i] = d;
            ++counts[d == 0 ? 0 : std::bit_width(uint32_t(d < 0 ? -d : d))];
        }
    }
    const HuffmanTable table = fitTable(counts);
    std::vector<uint8_t> out;
    out.reserve(differences.size() + 1024);
    header(out, frame, table);
    BitWriter bits(out);
    for (const int32_t d : differences) {
        const int category = d == 0 ? 0 : std::bit_width(uint32_t(d < 0 ? -d : d));
        bits.put(table.code[category], table.size[category]);
        if (category < 16) // a difference of 32768 carries no further bits
            bits.put(uint32_t(d < 0 ? d - 1 : d), uint32_t(category));
    }
    bits.flush();
    appendBytes(out, {0xFF, 0xD9});
    return out;
}
