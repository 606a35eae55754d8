// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/JpegReencoder.h"

#include "platform/Log.h"

namespace JpegReencoder {

Texts jpegoptimTexts()
{
    return {QStringLiteral("libvips JPEG optimization starting for file size: "),
            {},
            QStringLiteral("libvips JPEG optimization completed: ")};
}

Texts jpegtranTexts()
{
    return {QStringLiteral("libvips JPEG optimization (jpegtran fallback) starting for file size: "),
            {},
            QStringLiteral("libvips JPEG optimization (jpegtran fallback) completed: ")};
}

Outcome<bool> refuseLossy()
{
    qCInfo(lcTools).noquote() << QStringLiteral(
        "libvips would re-encode the JPEG lossily under the lossless preset, skipped");
    return Outcome<bool>::success(false);
}

QCoro::Task<Outcome<bool>> reencode(IOFile::Ptr input, QUrl output, Texts texts, int quality)
{
    FallbackReencoder::Request request;
    request.options.format = ImageIO::Format::jpeg;
    request.options.quality = quality;
    request.kind = QStringLiteral("JPEG");
    request.texts = std::move(texts);
    return FallbackReencoder::reencode(std::move(input), std::move(output), std::move(request));
}

} // namespace JpegReencoder
