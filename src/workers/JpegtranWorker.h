// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "workers/JpegToolWorker.h"

// Rewrites a JPEG losslessly with jpegtran: optimized Huffman tables,
// progressive encoding.
class JpegtranWorker : public JpegToolWorker {
public:
    // `lossyFallbackAllowed` is false under the lossless preset: the
    // image-I/O re-encode would then lose detail. Otherwise it encodes at the
    // preset's `fallbackQuality`.
    JpegtranWorker(bool progressive, bool stripMetadata, bool lossyFallbackAllowed = true, int fallbackQuality = 80);

    const bool progressive;
    const bool stripMetadata;
    const bool lossyFallbackAllowed;
    const int fallbackQuality;

    // Only its image-I/O re-encode does.
    bool changesPixels() const override { return reencoded_; }

    // "-optimize", "-copy" and what to copy, "-progressive", "-outfile",
    // output, input. Stripping copies nothing unless the image needs its
    // EXIF orientation (everything) or its colour profile ("icc").
    QStringList arguments(const IOFile& input, const QUrl& output) const;

    virtual QCoro::Task<Outcome<bool>> libvipsJpegtranFallback(IOFile::Ptr input, QUrl output);

protected:
    QStringList testArguments() const override;
    QCoro::Task<Outcome<MainRun>> mainRun(QString tool, IOFile::Ptr input, QUrl output) override;
    QCoro::Task<Outcome<bool>> imageIOFallback(IOFile::Ptr input, QUrl output) override;
};
