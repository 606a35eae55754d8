// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/WebPWorker.h"

#include "platform/Log.h"
#include "workers/WebPContainer.h"

WebPWorker::WebPWorker(double quality)
    : ImageIOWorker(QStringLiteral("libvips"), quality,
                    Format{ImageIO::Format::webp, QStringLiteral("WebP"), QStringLiteral("webp")})
{
}

std::optional<ImageIO::Options> WebPWorker::losslessOptions(const IOFile& input) const
{
    if (WebPContainer::encodingOf(input.localPath()) == WebPContainer::Encoding::lossy) {
        qCInfo(lcTools).noquote() << QStringLiteral("WebP is lossy already and would only grow without loss, skipped");
        return std::nullopt;
    }
    ImageIO::Options options;
    options.format = ImageIO::Format::webp;
    options.quality = 100;
    options.lossless = true;
    return options;
}
