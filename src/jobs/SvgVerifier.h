// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

struct SvgContent;

// Whether a cleaned SVG still is its original: well-formed with an <svg>
// root, the same intrinsic size in CSS pixels, every id of the original, the
// same text, and the same drawing, drawn by librsvg at that size.
class SvgVerifier {
public:
    // What rounding of coordinates may cost where pixels may change, 0 to
    // 255 per sample, over the drawing and in its worst tile: anti-aliasing
    // along edges. About four times the most svgo showed on a corpus of 37
    // drawings (0.06 and 0.53); a 20-pixel square turned from red to black
    // costs 21 in its tile.
    static constexpr double maxRoundingMean = 0.25;
    static constexpr double maxRoundingTile = 2.0;

    // Why the candidate may not replace the source; nothing when it may.
    // `samePixels` asks for every pixel of the drawings to be equal.
    static std::optional<QString> rejection(const QString& source, const QString& candidate, bool samePixels);

    // A length as CSS pixels ("3720pt" is 4960); nothing for relative units.
    static std::optional<double> cssPixels(QStringView length);
    // What takes librsvg's size of a drawing with this root width (or
    // height) to a browser's: librsvg counts 72 pixels to the inch, CSS 96.
    static double browserScale(QStringView length);

private:
    static std::optional<QString> contentRejection(const SvgContent& before, const SvgContent& after);
    static bool sameLength(const QString& a, const QString& b);
    static std::optional<QString> drawingRejection(const QString& source, const QString& candidate,
                                                   const SvgContent& before, const SvgContent& after, bool samePixels);
};
