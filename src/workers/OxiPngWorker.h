// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "workers/BaseCommandWorker.h"

// Lossless recompression of a PNG.
class OxiPngWorker : public BaseCommandWorker {
public:
    OxiPngWorker(int optLevel, bool stripMetadata);

    const int optLevel;
    const bool stripMetadata;

    QCoro::Task<Outcome<bool>> optimizeFile(IOFile::Ptr input, QUrl output) override;
    // Seven arguments, eight when stripping (never for a PNG with EXIF data,
    // which the strip would lose together with its orientation).
    QStringList arguments(const IOFile& input, const QUrl& output) const;

protected:
    virtual QCoro::Task<Outcome<bool>> libvipsPngFallback(IOFile::Ptr input, QUrl output);
};
