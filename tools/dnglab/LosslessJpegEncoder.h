// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Lossless JPEG (ITU T.81 process 14, SOF3) with predictor 1 and one Huffman
// table fitted to each image. Components are interleaved sample by sample,
// which lets a colour filter array row be coded as pairs: each sample is then
// predicted from its neighbour of the same colour.
class LosslessJpegEncoder {
public:
    struct Frame {
        const uint16_t* samples = nullptr; // first row
        size_t rowStride = 0; // samples from one row to the next
        uint32_t width = 0; // in pixels of `components` samples
        uint32_t height = 0;
        uint32_t components = 1;
        uint32_t precision = 16; // bits per sample, 2 to 16
    };

    static std::vector<uint8_t> encode(const Frame& frame);
};
