// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/ImageIOWorker.h"

#include "platform/BackgroundTask.h"
#include "platform/Log.h"
#include "workers/TemporaryFiles.h"

#include <QCoroFuture>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

ImageIOWorker::ImageIOWorker(QString name, double quality, Format format)
    : BaseWorker(std::move(name)), quality(quality), format_(std::move(format))
{
}

QUrl ImageIOWorker::makeOutputURL() const
{
    return TemporaryFiles::makeURL(format_.middleName, QStringLiteral("temp"));
}

QCoro::Task<Outcome<bool>> ImageIOWorker::writeOutput(IOFile::Ptr input, QUrl output)
{
    return reencode(std::move(input), std::move(output));
}

QCoro::Task<Outcome<bool>> ImageIOWorker::reencode(IOFile::Ptr input, QUrl output)
{
    const QString tool = format_.shortName;
    if (input->byteSize > FallbackReencoder::maxInputBytes)
        co_return FallbackReencoder::tooLarge(tool);

    ImageIO::Options options;
    options.format = format_.format;
    options.quality = std::clamp(int(std::lround(quality)), 1, 100);
    if (quality >= 100.0) {
        // It may read the file's header: off the event-loop thread.
        auto choose = [this, input] { return losslessOptions(*input); };
        const auto lossless = co_await BackgroundTask::run(choose);
        if (!lossless) {
            declined_ = true;
            co_return Outcome<bool>::success(false);
        }
        options = *lossless;
    }

    const QString outputPath = output.toLocalFile();
    const ImageIO::Result result = co_await FallbackReencoder::encode(input->localPath(), outputPath, options);
    if (result.status == ImageIO::Status::animated) {
        // Writing the first image alone would drop the others.
        qCInfo(lcTools).noquote() << QStringLiteral("%1 holds more than one image, not re-encoded").arg(tool);
        co_return Outcome<bool>::success(false);
    }
    if (auto error = FallbackReencoder::errorFor(result.status, tool, tool))
        co_return *error;
    auto sizeOf = [outputPath] {
        const QFileInfo written(outputPath);
        return written.exists() ? written.size() : qint64(0);
    };
    const qint64 newSize = co_await BackgroundTask::run(sizeOf);
    co_return Outcome<bool>::success(newSize > 0 && newSize < input->byteSize);
}
