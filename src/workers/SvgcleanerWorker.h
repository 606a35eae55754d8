// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "workers/BaseCommandWorker.h"

// Cleans an SVG with svgcleaner, through the batch's shared server when one runs.
class SvgcleanerWorker : public BaseCommandWorker {
public:
    // `precise`: only what leaves the drawing's every pixel as it was; else
    // coordinates are rounded, and an edge may move by a fraction of a pixel.
    explicit SvgcleanerWorker(bool precise = true);

    bool changesPixels() const override { return !precise_; }
    // The adapter is named for the program it stands in for; the work is svgo's.
    QString resultName() const override { return QStringLiteral("svgo"); }

    QCoro::Task<Outcome<bool>> optimizeFile(IOFile::Ptr input, QUrl output) override;
    // Input, output, "--multipass", "--precise" when precise.
    QStringList arguments(const IOFile& input, const QUrl& output) const;

private:
    bool precise_;
};
