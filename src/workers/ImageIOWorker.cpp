// g++ 12 with the sanitizers warns falsely about results stored inside QCoro's
// tasks; before the includes so it covers them.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "workers/ImageIOWorker.h"

#include "platform/Log.h"
#include "workers/TemporaryFiles.h"

#include <QCoroFuture>
#include <QFileInfo>
#include <QtConcurrent>

#include <algorithm>
#include <cmath>

ImageIOWorker::ImageIOWorker(QString name, double quality, Format format)
    : BaseWorker(std::move(name)), quality(quality), format_(std::move(format))
{
}

QUrl ImageIOWorker::makeOutputURL() const { return TemporaryFiles::makeURL(format_.middleName, QStringLiteral("temp")); }

QCoro::Task<Outcome<bool>> ImageIOWorker::writeOutput(IOFile::Ptr input, QUrl output)
{
    return reencode(std::move(input), std::move(output));
}

QCoro::Task<Outcome<bool>> ImageIOWorker::reencode(IOFile::Ptr input, QUrl output)
{
    const QString tool = format_.shortName;
    if (input->byteSize > maxInputBytes)
        co_return OptimizationError::toolExecution(tool, QStringLiteral("File too large (>50MB)"));

    ImageIO::Options options;
    options.format = format_.format;
    options.quality = std::clamp(int(std::lround(quality)), 1, 100);
    if (quality >= 100.0) {
        // It may read the file's header: off the event-loop thread.
        auto choose = [this, input] { return losslessOptions(*input); };
        const auto lossless = co_await QtConcurrent::run(choose);
        if (!lossless) {
            declined_ = true;
            co_return Outcome<bool>::success(false);
        }
        options = *lossless;
    }

    const QString inputPath = input->localPath();
    const QString outputPath = output.toLocalFile();
    auto encode = [inputPath, outputPath, options] { return ImageIO::reencode(inputPath, outputPath, options); };
    const ImageIO::Result result = co_await QtConcurrent::run(encode);
    switch (result.status) {
    case ImageIO::Status::ok:
        break;
    case ImageIO::Status::animated:
        // Writing the first image alone would drop the others.
        Log::line(QStringLiteral("⚠️ %1 holds more than one image, not re-encoded").arg(tool));
        co_return Outcome<bool>::success(false);
    case ImageIO::Status::tooManyPixels:
        co_return OptimizationError::toolExecution(tool, QStringLiteral("File too large (>100 megapixels)"));
    case ImageIO::Status::unreadable:
        co_return OptimizationError::toolExecution(tool, QStringLiteral("Could not read %1 image").arg(tool));
    case ImageIO::Status::cannotCreateOutput:
        co_return OptimizationError::toolExecution(tool, QStringLiteral("Could not create %1 output").arg(tool));
    case ImageIO::Status::cannotSave:
        co_return OptimizationError::toolExecution(tool, QStringLiteral("Could not save optimized %1").arg(tool));
    }
    const QFileInfo written(outputPath);
    const qint64 newSize = written.exists() ? written.size() : 0;
    co_return Outcome<bool>::success(newSize > 0 && newSize < input->byteSize);
}
