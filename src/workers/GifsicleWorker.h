// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "workers/BaseCommandWorker.h"

// Optimizes a GIF, every frame kept, with gifsicle; lossy when `lossless` is false.
class GifsicleWorker : public BaseCommandWorker {
public:
    GifsicleWorker(int lossyLevel, bool lossless);

    const int lossyLevel;
    const bool lossless;

    bool isLossy() const override { return !lossless; }
    QCoro::Task<Outcome<bool>> optimizeFile(IOFile::Ptr input, QUrl output) override;
    // ["--lossy=N"], "-O3", "--output", output, input.
    QStringList arguments(const IOFile& input, const QUrl& output) const;
};
