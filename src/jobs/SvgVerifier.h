#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

struct SvgContent;

// Whether a cleaned SVG still is its original: well-formed with an <svg>
// root, the same intrinsic size in CSS pixels, every id of the original, the
// same text, and the same drawing. The drawings are compared at their
// viewBox, because the renderer here takes a point for a pixel and would see
// a change where a browser sees none.
class SvgVerifier {
public:
    // Mean difference, 0 to 255, of small renderings; cleaning moves numbers
    // by rounding only, far below this.
    static constexpr double maxDifference = 4.0;

    // Why the candidate may not replace the source; nothing when it may.
    static std::optional<QString> rejection(const QString& source, const QString& candidate);

    // A length as CSS pixels ("3720pt" is 4960); nothing for relative units.
    static std::optional<double> cssPixels(QStringView length);
    // The bytes with the root element's width and height attributes removed,
    // the rest untouched; nothing when the root is not found in them as an
    // ASCII-compatible text (UTF-16, say).
    static std::optional<QByteArray> withoutRootSize(const QByteArray& text);

private:
    static std::optional<QString> contentRejection(const SvgContent& before, const SvgContent& after);
    static bool sameLength(const QString& a, const QString& b);
    // Draws the files, or the texts given (sized by their viewBox) in their place.
    static std::optional<QString> drawingRejection(const QString& source, const QString& candidate,
                                                   const QByteArray& sourceAtViewBox,
                                                   const QByteArray& candidateAtViewBox);
};
