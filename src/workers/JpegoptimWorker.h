// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "workers/JpegToolWorker.h"

// Recompresses a JPEG with jpegoptim up to a maximum quality (100: lossless
// only), working on a copy next to the output.
class JpegoptimWorker : public JpegToolWorker {
public:
    JpegoptimWorker(int maxQuality, bool stripMetadata);

    const int maxQuality;
    const bool stripMetadata;

    // Below 100 it may lower the quality.
    bool changesPixels() const override { return maxQuality < 100; }

    // "-m<maxQuality>" and the working path; when stripping, "--strip-all"
    // first, followed by what the image needs to look the same.
    QStringList arguments(const IOFile& input, const QString& workingPath) const;

    virtual QCoro::Task<Outcome<bool>> libvipsJpegFallback(IOFile::Ptr input, QUrl output);

protected:
    QStringList testArguments() const override;
    QCoro::Task<Outcome<MainRun>> mainRun(QString tool, IOFile::Ptr input, QUrl output) override;
    QCoro::Task<Outcome<bool>> imageIOFallback(IOFile::Ptr input, QUrl output) override;
};
