// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include <optional>

// Decoding and encoding of still images through libvips. Every call blocks:
// run it off the event-loop thread. Safe from several threads at once.
class ImageIO {
public:
    enum class Format { png, jpeg, heic, webp };
    enum class Status { ok, unreadable, tooManyPixels, animated, cannotCreateOutput, cannotSave };

    struct Options {
        Format format = Format::png;
        // 1 to 100; PNG ignores it.
        int quality = 100;
        // WebP only: exact pixels, quality ignored.
        bool lossless = false;
    };

    struct Result {
        Status status = Status::ok;
        QString detail; // libvips' message, for the log
    };

    // Larger images are refused before their pixels are decoded.
    static constexpr qint64 maxPixels = 100'000'000;

    // Decodes the first image of `input`, applies its orientation and writes
    // it to `output` in the chosen format, keeping the colour profile and the
    // bit depth but no other metadata. Images of several frames are refused:
    // writing only the first would drop the others.
    static Result reencode(const QString& input, const QString& output, const Options& options);

    // The size of the first image after decoding all its pixels strictly
    // (orientation not applied); nothing when it cannot be decoded.
    static std::optional<QSize> decodedSize(const QString& path);

    // What the header says about how the first image shows.
    struct Header {
        int orientation = 1; // EXIF orientation, 1 to 8
        QByteArray iccProfile;
    };
    // Reads the header alone; nothing when it is no image libvips reads.
    static std::optional<Header> header(const QString& path);

    // An animated PNG (acTL before IDAT) or an image of several pages.
    static bool isAnimated(const QString& path);
    // An acTL chunk before the first IDAT; reads only the chunk headers.
    static bool isAnimatedPng(const QString& path);
    // Whether a PNG holds a chunk of this type (e.g. "iCCP") before its pixels.
    static bool hasPngChunkBeforeImageData(const QString& path, const char* chunkType);
    // Whether a PNG holds a chunk of this type anywhere.
    static bool hasPngChunk(const QString& path, const char* chunkType);

    // Starts libvips once for the process; false when it cannot start.
    static bool initialize();
};
