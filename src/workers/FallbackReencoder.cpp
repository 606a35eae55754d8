// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/FallbackReencoder.h"

#include "platform/BackgroundTask.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QCoroFuture>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString reencoderName = QStringLiteral("libvips");

// The outcome for a status that ends the attempt, logging what the tool would.
std::optional<Outcome<bool>> endingFor(ImageIO::Status status, const QString& kind)
{
    if (status == ImageIO::Status::animated) {
        qCInfo(lcTools).noquote() << QStringLiteral(
            "libvips would keep only the first frame of an animated image, skipped");
        return Outcome<bool>::success(false);
    }
    if (status == ImageIO::Status::tooManyPixels)
        qCInfo(lcTools).noquote()
            << QStringLiteral("File too large for libvips optimization: more than %1 pixels").arg(ImageIO::maxPixels);
    else if (status == ImageIO::Status::unreadable)
        qCInfo(lcTools).noquote() << QStringLiteral("libvips failed to read %1 image").arg(kind);
    else
        qCInfo(lcTools).noquote() << QStringLiteral("libvips successfully read %1 image").arg(kind);
    if (auto error = FallbackReencoder::errorFor(status, reencoderName, kind))
        return *error;
    return std::nullopt;
}

} // namespace

namespace FallbackReencoder {

QCoro::Task<ImageIO::Result> encode(QString input, QString output, ImageIO::Options options)
{
    auto run = [input, output, options] { return ImageIO::reencode(input, output, options); };
    const ImageIO::Result result = co_await BackgroundTask::run(run);
    co_return result;
}

std::optional<OptimizationError> errorFor(ImageIO::Status status, const QString& tool, const QString& kind)
{
    switch (status) {
    case ImageIO::Status::ok:
    case ImageIO::Status::animated:
        return std::nullopt;
    case ImageIO::Status::tooManyPixels:
        return OptimizationError::toolExecution(
            tool, QCoreApplication::translate("FallbackReencoder", "File too large (>100 megapixels)"));
    case ImageIO::Status::unreadable:
        return OptimizationError::toolExecution(
            tool, QCoreApplication::translate("FallbackReencoder", "Could not read %1 image").arg(kind));
    case ImageIO::Status::cannotCreateOutput:
        return OptimizationError::toolExecution(
            tool, QCoreApplication::translate("FallbackReencoder", "Could not create %1 output").arg(kind));
    case ImageIO::Status::cannotSave:
        return OptimizationError::toolExecution(
            tool, QCoreApplication::translate("FallbackReencoder", "Could not save optimized %1").arg(kind));
    }
    return std::nullopt;
}

OptimizationError tooLarge(const QString& tool)
{
    return OptimizationError::toolExecution(tool,
                                            QCoreApplication::translate("FallbackReencoder", "File too large (>50MB)"));
}

QCoro::Task<Outcome<bool>> reencode(IOFile::Ptr input, QUrl output, Request request)
{
    const qint64 size = input->byteSize;
    qCInfo(lcTools).noquote() << request.texts.starting + QString::number(size) + QStringLiteral(" bytes");
    if (size > maxInputBytes) {
        qCInfo(lcTools).noquote() << QStringLiteral("File too large for libvips optimization: %1 bytes").arg(size);
        co_return tooLarge(reencoderName);
    }

    const QString outputPath = output.toLocalFile();
    const ImageIO::Result result = co_await encode(input->localPath(), outputPath, request.options);
    if (auto ending = endingFor(result.status, request.kind))
        co_return *ending;

    auto sizeOf = [outputPath] {
        const QFileInfo written(outputPath);
        return written.exists() ? written.size() : qint64(-1);
    };
    const qint64 found = co_await BackgroundTask::run(sizeOf);
    if (found < 0 && request.missingOutputFails)
        co_return OptimizationError::platform(
            QCoreApplication::translate("FallbackReencoder", "The file “%1” doesn’t exist.")
                .arg(QFileInfo(outputPath).fileName()));
    const qint64 newSize = std::max<qint64>(found, 0);
    qCInfo(lcTools).noquote() << QStringLiteral("Original: %1 bytes, Optimized: %2 bytes").arg(size).arg(newSize);
    if (!request.texts.note.isEmpty())
        qCInfo(lcTools).noquote() << request.texts.note;
    const bool smaller = newSize < size && newSize > 0;
    qCInfo(lcTools).noquote() << request.texts.completed
                                     + (smaller ? QStringLiteral("OPTIMIZED") : QStringLiteral("NO_CHANGE"));
    co_return Outcome<bool>::success(smaller);
}

} // namespace FallbackReencoder
