// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/HEICWorker.h"

#include "platform/Log.h"

HEICWorker::HEICWorker(double quality)
    : ImageIOWorker(QStringLiteral("libvips"), quality,
                    Format{ImageIO::Format::heic, QStringLiteral("HEIC"), QStringLiteral("heic")})
{
}

std::optional<ImageIO::Options> HEICWorker::losslessOptions(const IOFile&) const
{
    qCInfo(lcTools).noquote() << QStringLiteral("HEIC cannot be re-encoded without loss, skipped");
    return std::nullopt;
}
