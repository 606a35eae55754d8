// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/PngReencoder.h"

namespace PngReencoder {

Texts losslessTexts()
{
    return {QStringLiteral("libvips PNG optimization starting for file size: "),
            {},
            QStringLiteral("libvips PNG optimization completed: ")};
}

Texts pngquantTexts()
{
    return {QStringLiteral("libvips PNG optimization (pngquant fallback) starting for file size: "),
            QStringLiteral("Note: libvips cannot replicate pngquant's lossy compression, "
                           "using lossless PNG optimization"),
            QStringLiteral("libvips PNG optimization (pngquant fallback) completed: ")};
}

QCoro::Task<Outcome<bool>> reencode(IOFile::Ptr input, QUrl output, Texts texts)
{
    FallbackReencoder::Request request;
    request.options.format = ImageIO::Format::png;
    request.kind = QStringLiteral("PNG");
    request.texts = std::move(texts);
    request.missingOutputFails = true;
    return FallbackReencoder::reencode(std::move(input), std::move(output), std::move(request));
}

} // namespace PngReencoder
