// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Outcome.h"
#include "platform/ImageIO.h"
#include "workers/IOFile.h"

#include <QCoroTask>
#include <QString>
#include <QUrl>
#include <optional>

// What the PNG and JPEG stand-ins share: one re-encode through the image I/O
// off the event-loop thread, with the log lines and errors of the tool
// "libvips". The HEIC and WebP workers share its limits and errors.
namespace FallbackReencoder {

// The largest file any re-encode through the image I/O takes.
inline constexpr qint64 maxInputBytes = 52'428'800;

struct Texts {
    QString starting; // followed by the input size and " bytes"
    QString note; // logged after the size comparison when not empty
    QString completed; // followed by "OPTIMIZED" or "NO_CHANGE"
};

struct Request {
    ImageIO::Options options;
    QString kind; // "PNG" or "JPEG", as the messages name it
    Texts texts;
    bool missingOutputFails = false; // otherwise a missing output counts as 0 bytes
};

// Runs ImageIO::reencode on the pool.
QCoro::Task<ImageIO::Result> encode(QString input, QString output, ImageIO::Options options);

// `tool`'s error for a re-encode that ended with `status` (`kind` names the
// image, as in "Could not read PNG image"); none for ok and animated.
std::optional<OptimizationError> errorFor(ImageIO::Status status, const QString& tool, const QString& kind);
OptimizationError tooLarge(const QString& tool);

// True when the file written to `output` is smaller than the input. The
// output is left in place whatever the answer; the caller deletes an unused one.
QCoro::Task<Outcome<bool>> reencode(IOFile::Ptr input, QUrl output, Request request);

} // namespace FallbackReencoder
