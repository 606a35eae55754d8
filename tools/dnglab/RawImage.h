// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

// The raw image of a DNG as plain samples: rows of width × samplesPerPixel
// values, each below 2^bitsPerSample.
struct RawImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t samplesPerPixel = 1;
    uint32_t bitsPerSample = 16;
    bool cfa = true; // colour filter array; otherwise linear raw
    std::vector<uint16_t> samples;
};
