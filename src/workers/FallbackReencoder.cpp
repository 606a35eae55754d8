#include "workers/FallbackReencoder.h"

#include "platform/Log.h"

#include <QCoroFuture>
#include <QFileInfo>
#include <QtConcurrent>

namespace {

OptimizationError failure(const QString& message)
{
    return OptimizationError::toolExecution(QStringLiteral("Core Graphics"), message);
}

// The error for a status that ends the attempt, logging what the tool would.
std::optional<Outcome<bool>> endingFor(ImageIO::Status status, const QString& kind)
{
    switch (status) {
    case ImageIO::Status::animated:
        Log::line(QStringLiteral("⚠️ Core Graphics would keep only the first frame of an animated image, skipped"));
        return Outcome<bool>::success(false);
    case ImageIO::Status::tooManyPixels:
        Log::line(QStringLiteral("⚠️ File too large for Core Graphics optimization: more than %1 pixels")
                      .arg(ImageIO::maxPixels));
        return failure(QStringLiteral("File too large (>100 megapixels)"));
    case ImageIO::Status::unreadable:
        Log::line(QStringLiteral("❌ Core Graphics failed to read %1 image").arg(kind));
        return failure(QStringLiteral("Could not read %1 image").arg(kind));
    case ImageIO::Status::cannotCreateOutput:
    case ImageIO::Status::cannotSave:
    case ImageIO::Status::ok:
        break;
    }
    Log::line(QStringLiteral("✅ Core Graphics successfully read %1 image").arg(kind));
    if (status == ImageIO::Status::cannotCreateOutput)
        return failure(QStringLiteral("Could not create %1 output").arg(kind));
    if (status == ImageIO::Status::cannotSave)
        return failure(QStringLiteral("Could not save optimized %1").arg(kind));
    return std::nullopt;
}

} // namespace

namespace FallbackReencoder {

QCoro::Task<Outcome<bool>> reencode(IOFile::Ptr input, QUrl output, Request request)
{
    const qint64 size = input->byteSize;
    Log::line(request.texts.starting + QString::number(size) + QStringLiteral(" bytes"));
    if (size > maxInputBytes) {
        Log::line(QStringLiteral("⚠️ File too large for Core Graphics optimization: %1 bytes").arg(size));
        co_return failure(QStringLiteral("File too large (>50MB)"));
    }

    const QString inputPath = input->localPath();
    const QString outputPath = output.toLocalFile();
    const ImageIO::Options options = request.options;
    auto encode = [inputPath, outputPath, options] { return ImageIO::reencode(inputPath, outputPath, options); };
    const ImageIO::Result result = co_await QtConcurrent::run(encode);
    if (auto ending = endingFor(result.status, request.kind))
        co_return *ending;

    const QFileInfo written(outputPath);
    if (!written.exists() && request.missingOutputFails)
        co_return OptimizationError::platform(QStringLiteral("The file “%1” doesn’t exist.").arg(written.fileName()));
    const qint64 newSize = written.exists() ? written.size() : 0;
    Log::line(QStringLiteral("📊 Original: %1 bytes, Optimized: %2 bytes").arg(size).arg(newSize));
    if (!request.texts.note.isEmpty())
        Log::line(request.texts.note);
    const bool smaller = newSize < size && newSize > 0;
    Log::line(request.texts.completed + (smaller ? QStringLiteral("OPTIMIZED") : QStringLiteral("NO_CHANGE")));
    co_return Outcome<bool>::success(smaller);
}

} // namespace FallbackReencoder
