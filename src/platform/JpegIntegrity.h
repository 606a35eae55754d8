// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// Whether a JPEG's compressed data reads without fault. libjpeg only warns
// about corrupt or missing data and makes up the pixels it lost, so a decoder
// that stops on errors alone takes a damaged photo for a sound one.
class JpegIntegrity {
public:
    // libjpeg's first complaint about the data of the JPEG at `path`; empty
    // when every scan reads cleanly, nothing when the file is not a JPEG (or
    // cannot be read). Reads the coefficients only, without rendering pixels.
    static std::optional<QString> damage(const QString& path);

    // Two JPEGs read side by side. Files with the same coefficients,
    // quantization tables, sampling and colour transform decode to the same
    // pixels, whatever their Huffman tables, scan order or metadata: what a
    // lossless transcoder such as jpegtran writes. Either file may not be a
    // JPEG, in which case only its damage is empty and `same` is false.
    struct Comparison {
        QString sourceDamage;
        QString candidateDamage;
        bool same = false;
    };
    static Comparison compare(const QString& source, const QString& candidate);
};
