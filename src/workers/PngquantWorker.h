// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "workers/BaseCommandWorker.h"

// Lossy: reduces a PNG to a palette of at most 256 colours within a quality range.
class PngquantWorker : public BaseCommandWorker {
public:
    PngquantWorker(int minQuality, int speed);

    const int minQuality;
    const int speed;

    bool isLossy() const override { return minQuality < 100; }
    QCoro::Task<Outcome<bool>> optimizeFile(IOFile::Ptr input, QUrl output) override;
    // The eight arguments of one run.
    QStringList arguments(const IOFile& input, const QUrl& output) const;

protected:
    virtual QCoro::Task<Outcome<bool>> coreGraphicsPNGQuantFallback(IOFile::Ptr input, QUrl output);
};
