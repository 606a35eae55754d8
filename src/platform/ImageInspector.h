// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace vips {
class VImage;
}

// Looks at images as they are shown, to tell whether a tool's output is the
// same picture as its source. Every call decodes through libvips and blocks:
// run it off the event-loop thread.
class ImageInspector {
public:
    struct Facts {
        int width = 0; // as displayed: orientation applied
        int height = 0;
        int frames = 1; // frames of an animation, pages of a multi-image file
    };

    // Decodes every pixel of every frame, strictly: a truncated or corrupt
    // file (a JPEG's corrupt data included) gives nothing, with the reason in `why`.
    static std::optional<Facts> inspect(const QString& path, QString* why);
    // Whether a tool's output decodes every pixel of every frame at the
    // strictest: a warning, such as a short read, counts as not decoding.
    static bool decodesCompletely(const QString& path, QString* why);
    // The same facts from the header alone, without decoding the pixels.
    static std::optional<Facts> describe(const QString& path, QString* why);
    // The `why` of an image refused for its size rather than its bytes.
    static QString tooLargeReason() { return QStringLiteral("the image is too large to compare"); }

    // Whether every displayed pixel is equal, whatever the bit depth, colour
    // type or palette; fully transparent pixels are equal whatever colour they
    // carry. Nothing when either cannot be decoded. `b` is a candidate: any
    // warning while decoding it, not only an error, counts as not decoding.
    static std::optional<bool> samePixels(const QString& a, const QString& b, QString* why);

    // How far two images of one size part, 0 to 255 per sample, compared at
    // full size in display orientation and in sRGB: over the whole picture,
    // and in the square tile of `tileSize` pixels that differs most, where a
    // damaged region shows that the mean hides. Decodes both strictly, every
    // frame, streaming; `b` as strictly as `samePixels` does.
    struct Deviation {
        double mean = 0;
        double worstTile = 0;
    };
    static constexpr int tileSize = 32;
    static std::optional<Deviation> deviation(const QString& a, const QString& b, QString* why);

    // The same two measures for images already loaded, of one size, in one
    // colour space. They may throw vips::VError.
    static bool samePixels(const vips::VImage& a, const vips::VImage& b);
    static Deviation deviation(const vips::VImage& a, const vips::VImage& b);

    // Two SVG drawings as librsvg draws them, each at its own size times its
    // `scale`. Drawings above `drawingPixelLimit` are drawn scaled down, both
    // alike, and still compared pixel for pixel. Sizes further apart than
    // the rounding of a fraction of a pixel differ by 255 in both measures.
    struct DrawingComparison {
        bool samePixels = false;
        Deviation deviation;
    };
    static constexpr qint64 drawingPixelLimit = 4096LL * 4096LL;
    static std::optional<DrawingComparison> compareDrawings(const QString& a, double scaleA, const QString& b,
                                                            double scaleB, QString* why);

    // The image's embedded colour profile; empty when it has none.
    static QByteArray profileOf(const vips::VImage& image);

private:
    static std::optional<Facts> look(const QString& path, bool decodeAll, QString* why, int failOn);
};
