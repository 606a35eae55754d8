// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayList>
#include <QString>

// The chunks of a PNG that hold words rather than pixels: text (tEXt, zTXt,
// iTXt) and EXIF. oxipng keeps one chunk of each type, so a second comment
// would be lost; these are put back as they were.
class PngMetadataChunks {
public:
    // Each such chunk of the PNG at `path`, whole (length, type, data, CRC).
    static QByteArrayList of(const QString& path);

    // Adds to the PNG at `output` every such chunk of `input` that it lacks,
    // before its image data. False when it cannot be rewritten; a file that
    // is not a whole PNG is left alone.
    static bool restore(const QString& input, const QString& output);
};
