// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Before any Qt header: glib uses "signals" as a name, Qt defines it as a keyword.
#include <vips/vips8>

#include "platform/ImageHeader.h"
#include "platform/ImageIO.h"
#include "platform/ImageInspector.h"
#include "platform/JpegIntegrity.h"
#include "platform/PixelBudget.h"
#include "platform/PngChunks.h"
#include "platform/WebPDecoder.h"

#include <QFile>
#include <QScopeGuard>
#include <QtEndian>

#include <cmath>

using vips::VError;
using vips::VImage;

namespace {

constexpr qint64 maxPixels = ImageHeader::pixelLimit;
// A tool's output may not even warn: a short read or a bad row is filled in
// silently at the weaker level, and the filled-in picture would be kept.
constexpr VipsFailOn candidateStrictness = VIPS_FAIL_ON_WARNING;

// libvips keeps one error buffer for every thread: only its last line is
// about this image.
QString takeError(const VError& error)
{
    const QStringList lines = QString::fromUtf8(error.what()).trimmed().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QString text = lines.isEmpty() ? QString() : lines.last().trimmed();
    vips_error_clear();
    return text.isEmpty() ? QStringLiteral("cannot be decoded") : text;
}

// The frame count an animated PNG declares; libvips shows only its first frame.
int apngFrames(const QString& path)
{
    const QByteArray control = PngChunks::find(path, "acTL", true);
    return control.size() >= 12 ? int(qFromBigEndian<quint32>(control.constData() + 8)) : 1;
}

// Read top to bottom: a loader asked for random access may hold the whole
// decoded image in memory, and there are two of them at a time.
VImage strictLoad(const QString& path, bool allPages, VipsAccess access = VIPS_ACCESS_SEQUENTIAL,
                  VipsFailOn failOn = VIPS_FAIL_ON_ERROR)
{
    auto options = VImage::option()->set("fail_on", failOn)->set("access", access);
    if (allPages)
        options->set("n", -1);
    return VImage::new_from_file(path.toLocal8Bit().constData(), options);
}

int pageCount(const VImage& image)
{
    return image.get_typeof("n-pages") != 0 ? std::max(1, image.get_int("n-pages")) : 1;
}

// The whole image with every frame, in display orientation. With `pixels`
// they are about to be read: a still WebP is decoded at once, in one buffer.
VImage loadShown(const QString& path, bool pixels, VipsFailOn failOn = VIPS_FAIL_ON_ERROR)
{
    VImage image = strictLoad(path, false, VIPS_ACCESS_SEQUENTIAL, failOn);
    if (qint64(image.width()) * qint64(image.height()) > maxPixels)
        throw VError(ImageInspector::tooLargeReason().toStdString());
    if (pageCount(image) > 1)
        return strictLoad(path, true, VIPS_ACCESS_SEQUENTIAL, failOn);
    const bool turned = image.get_typeof(VIPS_META_ORIENTATION) != 0 && image.get_int(VIPS_META_ORIENTATION) > 1;
    const QByteArray name = path.toLocal8Bit();
    if (pixels && WebPDecoder::decodes(name.constData(), image)) {
        const VImage decoded = WebPDecoder::decode(name.constData(), image);
        return turned ? decoded.autorot() : decoded;
    }
    // Turning needs random access.
    return turned ? strictLoad(path, false, VIPS_ACCESS_RANDOM, failOn).autorot() : image;
}

int pageHeight(const VImage& image)
{
    return image.get_typeof("page-height") != 0 ? image.get_int("page-height") : image.height();
}

// Straight RGBA in 0..1 with colour premultiplied by alpha, so that the
// colour of fully transparent pixels does not count.
VImage normalised(VImage image)
{
    const bool sixteenBits = image.format() == VIPS_FORMAT_USHORT;
    const bool alpha = image.has_alpha();
    VImage colour = alpha ? image.extract_band(0, VImage::option()->set("n", image.bands() - 1)) : image;
    VImage opacity = alpha ? image.extract_band(image.bands() - 1) : VImage();
    const double scale = sixteenBits ? 65535.0 : 255.0;
    colour = colour.cast(VIPS_FORMAT_FLOAT) / scale;
    if (colour.bands() == 1)
        colour = colour.bandjoin(colour).bandjoin(colour);
    if (!alpha)
        return colour.bandjoin_const({1.0});
    opacity = opacity.cast(VIPS_FORMAT_FLOAT) / scale;
    return (colour * opacity).bandjoin(opacity);
}

bool sameProfile(const VImage& a, const VImage& b)
{
    return ImageInspector::profileOf(a) == ImageInspector::profileOf(b);
}

// An untagged image counts as sRGB already.
VImage inSrgb(VImage image)
{
    if (image.get_typeof(VIPS_META_ICC_NAME) != 0)
        image = image.icc_transform("srgb", VImage::option()->set("embedded", true));
    if (image.interpretation() == VIPS_INTERPRETATION_CMYK)
        image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    return image;
}

// Runs one look at images on this thread. Nothing, with the reason in
// `why`, when libvips cannot start or an image cannot be read.
template <typename Look> auto guarded(QString* why, Look look) -> std::optional<decltype(look())>
{
    if (!ImageIO::initialize()) {
        *why = QStringLiteral("the image library cannot start");
        return std::nullopt;
    }
    // libvips' per-thread buffers are freed when a pooled thread is done with it.
    const auto cleanup = qScopeGuard([] { vips_thread_shutdown(); });
    try {
        return look();
    } catch (const VError& error) {
        *why = takeError(error);
        return std::nullopt;
    }
}

} // namespace

std::optional<ImageInspector::Facts> ImageInspector::inspect(const QString& path, QString* why)
{
    return look(path, true, why, VIPS_FAIL_ON_ERROR);
}

bool ImageInspector::decodesCompletely(const QString& path, QString* why)
{
    return look(path, true, why, candidateStrictness).has_value();
}

std::optional<ImageInspector::Facts> ImageInspector::describe(const QString& path, QString* why)
{
    return look(path, false, why, VIPS_FAIL_ON_ERROR);
}

std::optional<ImageInspector::Facts> ImageInspector::look(const QString& path, bool decodeAll, QString* why, int failOn)
{
    return guarded(why, [&] {
        const VImage image = loadShown(path, decodeAll, VipsFailOn(failOn));
        if (decodeAll) {
            const std::optional<QString> damage = JpegIntegrity::damage(path);
            if (damage && !damage->isEmpty())
                throw VError(damage->toStdString());
            // Reading a JPEG's coefficients reads all its image data, more strictly than a decode;
            // other kinds are decoded whole: a truncated file fails here.
            if (!damage)
                (void)image.avg();
        }
        Facts facts;
        facts.width = image.width();
        facts.height = pageHeight(image);
        facts.frames = std::max(pageCount(image), apngFrames(path));
        return facts;
    });
}

std::optional<bool> ImageInspector::samePixels(const QString& a, const QString& b, QString* why)
{
    return guarded(why, [&] {
        const VImage first = loadShown(a, true);
        const VImage second = loadShown(b, true, candidateStrictness);
        return first.width() == second.width() && first.height() == second.height() && samePixels(first, second);
    });
}

bool ImageInspector::samePixels(const VImage& a, const VImage& b)
{
    const double largest = (normalised(a) - normalised(b)).abs().max();
    // Half a step of a 16-bit sample: exact equality, give or take rounding.
    return largest < 0.5 / 65535.0;
}

std::optional<ImageInspector::Deviation> ImageInspector::deviation(const QString& a, const QString& b, QString* why)
{
    return guarded(why, [&] {
        VImage first = loadShown(a, true);
        VImage second = loadShown(b, true, candidateStrictness);
        if (first.width() != second.width() || first.height() != second.height())
            return Deviation{255.0, 255.0};
        // Equal profiles (or none) show equal values alike; otherwise a lost
        // or changed profile must count, so both are seen in sRGB.
        if (!sameProfile(first, second)) {
            first = inSrgb(first);
            second = inSrgb(second);
        }
        return deviation(first, second);
    });
}

ImageInspector::Deviation ImageInspector::deviation(const VImage& a, const VImage& b)
{
    const VImage difference = (normalised(a) - normalised(b)).abs().bandmean() * 255.0;
    // Beware: libvips' shrink turns a region that fails to decode into
    // zeros, without an error. Call decodesCompletely on `b` first.
    const VImage tiles = difference
                             .shrink(std::min(tileSize, difference.width()), std::min(tileSize, difference.height()))
                             .copy_memory();
    return Deviation{tiles.avg(), tiles.max()};
}

std::optional<ImageInspector::DrawingComparison>
ImageInspector::compareDrawings(const QString& a, double scaleA, const QString& b, double scaleB, QString* why)
{
    return guarded(why, [&] {
        const QByteArray first = a.toLocal8Bit();
        const QByteArray second = b.toLocal8Bit();
        const auto drawn = [](const char* path, double scale) {
            return VImage::svgload(path, VImage::option()->set("scale", scale)->set("access", VIPS_ACCESS_SEQUENTIAL));
        };
        const VImage natural = drawn(first.constData(), 1.0);
        const double width = natural.width() * scaleA;
        const double height = natural.height() * scaleA;
        const double fit = std::min(1.0, std::sqrt(double(drawingPixelLimit) / (width * height)));
        // A sliver scaled down to nothing cannot be compared.
        if (!std::isfinite(fit) || std::min(width, height) * fit < 1.0)
            throw VError(tooLargeReason().toStdString());
        VImage before = drawn(first.constData(), scaleA * fit);
        VImage after = drawn(second.constData(), scaleB * fit);
        // A size of 485⅓ pixels may round either way: the last row or column
        // only holds the fraction, and the rest must still match.
        const int shownWidth = std::min(before.width(), after.width());
        const int shownHeight = std::min(before.height(), after.height());
        if (std::max(before.width(), after.width()) - shownWidth > 1
            || std::max(before.height(), after.height()) - shownHeight > 1)
            return DrawingComparison{false, {255.0, 255.0}};
        before = before.crop(0, 0, shownWidth, shownHeight);
        after = after.crop(0, 0, shownWidth, shownHeight);
        const PixelBudget::Lease lease = PixelBudget::shared().acquire(2 * qint64(shownWidth) * shownHeight);
        // Drawn once each, then read twice.
        before = before.copy_memory();
        after = after.copy_memory();
        return DrawingComparison{samePixels(before, after), deviation(before, after)};
    });
}

QByteArray ImageInspector::profileOf(const VImage& image)
{
    if (image.get_typeof(VIPS_META_ICC_NAME) == 0)
        return {};
    size_t length = 0;
    const void* data = image.get_blob(VIPS_META_ICC_NAME, &length);
    return QByteArray(static_cast<const char*>(data), qsizetype(length));
}
