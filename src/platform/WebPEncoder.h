// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Before any Qt header: glib uses "signals" as a name, Qt defines it as a keyword.
#include <vips/vips8>

#include <QString>

// Encodes a still image as WebP with libwebp, as libvips' saver does (the
// same settings, so the same bytes) but without its second copy of the
// pixels: the image's buffer goes as soon as the encoder holds its own
// planes. Keeps the colour profile; writes no other metadata.
class WebPEncoder {
public:
    struct Settings {
        int quality = 75; // 0 to 100
        bool lossless = false;
        int effort = 4; // 0 to 6: libvips' default; 6 saves little more for a lot more time
    };

    // Whether `image` is what this encodes unchanged: sRGB (with or without
    // alpha) in 8 bits. Other images need libvips' conversions first.
    static bool encodes(const vips::VImage& image);
    // Releases `image` (the caller's reference too) once it is read; throws
    // vips::VError when it cannot encode or write.
    static void write(vips::VImage& image, const QString& path, const Settings& settings);
};
