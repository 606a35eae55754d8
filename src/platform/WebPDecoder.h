// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Before any Qt header: glib uses "signals" as a name, Qt defines it as a keyword.
#include <vips/vips8>

// Decodes a still WebP straight into one buffer of its size. libvips' own
// loader decodes into a second canvas of four bands and copies it over,
// which holds about three times the pixels while it reads: with 4096×4096
// images that is what the process's peak memory was made of.
class WebPDecoder {
public:
    // Whether `header`, libvips' header-only load of `path`, is a still WebP
    // whose pixels this decodes, the same values as libvips would.
    static bool decodes(const char* path, const vips::VImage& header);
    // Every pixel of `path` in an image in memory with `fields`' size, bands
    // and metadata; throws vips::VError when the data does not decode.
    static vips::VImage decode(const char* path, const vips::VImage& fields);
};
