// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Outcome.h"
#include "platform/ImageIO.h"
#include "workers/BaseWorker.h"
#include "workers/FallbackReencoder.h"
#include "workers/IOFile.h"

#include <QUrl>

#include <atomic>
#include <optional>

// Re-encodes an image in its own format through the image I/O with a lossy
// quality; the HEIC and WebP workers differ only in the values below.
class ImageIOWorker : public BaseWorker {
public:
    const double quality; // 0 to 100

    bool isLossy() const override { return quality < 100.0; }
    bool declined() const override { return declined_; }
    // Writes the re-encoded image to `output` and answers whether it is worth
    // keeping. Never changes the input nor touches the job.
    virtual QCoro::Task<Outcome<bool>> reencode(IOFile::Ptr input, QUrl output);

protected:
    QUrl makeOutputURL() const override;
    QCoro::Task<Outcome<bool>> writeOutput(IOFile::Ptr input, QUrl output) override;

    struct Format {
        ImageIO::Format format;
        QString shortName; // "HEIC": the tool name of its errors
        QString middleName; // "heic": the middle of its temporary names
    };
    ImageIOWorker(QString name, double quality, Format format);

    // At quality 100 the re-encode must not lose anything: how this input is
    // encoded then, or nothing (with a log line saying why) to skip it.
    virtual std::optional<ImageIO::Options> losslessOptions(const IOFile& input) const = 0;

private:
    const Format format_;
    std::atomic<bool> declined_{false};
};
