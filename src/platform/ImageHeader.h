// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtNumeric>

#include <limits>
#include <optional>

// An image's size as its header declares it, read without decoding a pixel,
// so that a file claiming more than we can hold is refused before any
// decoder or tool allocates for it. Blocks on the disk: off the event loop.
class ImageHeader {
public:
    struct Size {
        qint64 width = 0;
        qint64 height = 0;
        qint64 frames = 1; // of an animation or a multi-image file
        // Saturates: a header may claim sizes whose product overflows.
        qint64 pixels() const
        {
            qint64 area = 0, total = 0;
            if (qMulOverflow(width, height, &area) || qMulOverflow(area, frames, &total))
                return std::numeric_limits<qint64>::max();
            return total;
        }
    };

    // The most pixels, all frames together, that this app decodes or lets a tool decode.
    static constexpr qint64 pixelLimit = 400'000'000;

    // Nothing, with the reason in `why`, when no header can be read.
    static std::optional<Size> read(const QString& path, QString* why);
    // Why an image of this size is refused; empty when it is within the limit.
    static QString refusal(const Size& size);

private:
    // A GIF's logical screen, grown to its frames' extents, and its frame
    // count: every frame is drawn onto a whole screen.
    static std::optional<Size> readGif(const QString& path, QString* why);
    static std::optional<Size> readWithLibvips(const QString& path, QString* why);
};
