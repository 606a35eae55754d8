// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <ctime>

// Writes small DNG files with libtiff: an uncompressed raw image of noisy,
// sensor-like samples, optionally behind a thumbnail and beside a preview,
// with EXIF (and a maker note) when asked.
struct DngSample {
    uint32_t width = 100;
    uint32_t height = 64;
    uint16_t bits = 12;
    bool linearRaw = false; // three samples per pixel instead of a colour filter
    bool thumbnail = true; // the first directory is a thumbnail, the raw image a sub-directory
    bool preview = false;
    bool exif = true;
    uint16_t orientation = 1;
    uint32_t seed = 1;
};

class DngSampleWriter {
public:
    static bool write(const QString& path, const DngSample& sample);
};

// What a raw converter sees beside the raw samples.
struct RawFacts {
    bool decoded = false;
    float iso = 0;
    time_t shot = 0;
    int thumbnailWidth = 0;

    static RawFacts of(const QString& path);
};
