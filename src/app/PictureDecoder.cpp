// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <vips/vips8>

#include "app/PictureDecoder.h"

#include "platform/ImageIO.h"

#include <QScopeGuard>

#include <cstring>

using vips::VError;
using vips::VImage;
using vips::VSource;

namespace PictureDecoder {

namespace {
VImage asRgba(VImage image)
{
    if (image.interpretation() != VIPS_INTERPRETATION_sRGB || image.format() != VIPS_FORMAT_UCHAR)
        image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    if (image.bands() == 3)
        image = image.bandjoin_const({255});
    if (image.bands() != 4)
        throw VError("unexpected bands");
    return image.format() == VIPS_FORMAT_UCHAR ? image : image.cast(VIPS_FORMAT_UCHAR);
}
} // namespace

QImage decode(const QString& path, QSize bound, QString* error)
{
    const auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return QImage();
    };
    if (!ImageIO::initialize())
        return fail(QStringLiteral("The picture decoder could not start."));
    const auto cleanup = qScopeGuard([] { vips_thread_shutdown(); });
    const QByteArray file = path.toLocal8Bit();
    try {
        // A source, not a file name: libvips would read "[...]" in a name as options.
        const VImage header = VImage::new_from_source(VSource::new_from_file(file.constData()), "");
        if (qint64(header.width()) * header.height() > ImageIO::maxPixels)
            return fail(QStringLiteral("The picture is too large to show."));
        // A drawing is drawn at the size shown, never enlarged from its nominal pixels.
        const bool vector = vips_isprefix("svgload", header.get_string("vips-loader"));
        const VImage small = VImage::thumbnail_source(VSource::new_from_file(file.constData()),
                                                      std::max(1, bound.width()),
                                                      VImage::option()
                                                          ->set("height", std::max(1, bound.height()))
                                                          ->set("size", vector ? VIPS_SIZE_BOTH : VIPS_SIZE_DOWN));
        const VImage rgba = asRgba(small);
        size_t length = 0;
        void* pixels = rgba.write_to_memory(&length);
        const auto release = qScopeGuard([pixels] { g_free(pixels); });
        QImage image(rgba.width(), rgba.height(), QImage::Format_RGBA8888);
        if (image.isNull() || length != size_t(image.sizeInBytes()))
            return fail(QStringLiteral("The picture could not be read."));
        std::memcpy(image.bits(), pixels, length);
        return image;
    } catch (const VError&) {
        vips_error_clear();
        return fail(QStringLiteral("The picture could not be read."));
    }
}

} // namespace PictureDecoder
