#include "workers/JpegReencoder.h"

#include "platform/ImageIO.h"
#include "platform/Log.h"

#include <QCoroFuture>
#include <QFileInfo>
#include <QtConcurrent>

namespace {

const QString toolName = QStringLiteral("Core Graphics");

OptimizationError failure(const QString& message) { return OptimizationError::toolExecution(toolName, message); }

} // namespace

namespace JpegReencoder {

Texts jpegoptimTexts()
{
    return {QStringLiteral("🎨 Core Graphics JPEG optimization starting for file size: "),
            QStringLiteral("✅ Core Graphics JPEG optimization completed: ")};
}

Texts jpegtranTexts()
{
    return {QStringLiteral("🎨 Core Graphics JPEG optimization (jpegtran fallback) starting for file size: "),
            QStringLiteral("✅ Core Graphics JPEG optimization (jpegtran fallback) completed: ")};
}

Outcome<bool> refuseLossy()
{
    Log::line(QStringLiteral("⚠️ Core Graphics would re-encode the JPEG lossily under the lossless preset, skipped"));
    return Outcome<bool>::success(false);
}

QCoro::Task<Outcome<bool>> reencode(IOFile::Ptr input, QUrl output, Texts texts, int quality)
{
    const qint64 size = input->byteSize;
    Log::line(texts.starting + QString::number(size) + QStringLiteral(" bytes"));
    if (size > maxInputBytes) {
        Log::line(QStringLiteral("⚠️ File too large for Core Graphics optimization: %1 bytes").arg(size));
        co_return failure(QStringLiteral("File too large (>50MB)"));
    }

    const QString inputPath = input->localPath();
    const QString outputPath = output.toLocalFile();
    ImageIO::Options options;
    options.format = ImageIO::Format::jpeg;
    options.quality = quality;
    auto encode = [inputPath, outputPath, options] { return ImageIO::reencode(inputPath, outputPath, options); };
    const ImageIO::Result result = co_await QtConcurrent::run(encode);

    switch (result.status) {
    case ImageIO::Status::animated:
        Log::line(QStringLiteral("⚠️ Core Graphics would keep only the first frame of an animated image, skipped"));
        co_return Outcome<bool>::success(false);
    case ImageIO::Status::tooManyPixels:
        Log::line(QStringLiteral("⚠️ File too large for Core Graphics optimization: more than %1 pixels")
                      .arg(ImageIO::maxPixels));
        co_return failure(QStringLiteral("File too large (>100 megapixels)"));
    case ImageIO::Status::unreadable:
        Log::line(QStringLiteral("❌ Core Graphics failed to read JPEG image"));
        co_return failure(QStringLiteral("Could not read JPEG image"));
    case ImageIO::Status::cannotCreateOutput:
    case ImageIO::Status::cannotSave:
    case ImageIO::Status::ok:
        Log::line(QStringLiteral("✅ Core Graphics successfully read JPEG image"));
        break;
    }
    if (result.status == ImageIO::Status::cannotCreateOutput)
        co_return failure(QStringLiteral("Could not create JPEG output"));
    if (result.status == ImageIO::Status::cannotSave)
        co_return failure(QStringLiteral("Could not save optimized JPEG"));

    const QFileInfo written(outputPath);
    const qint64 newSize = written.exists() ? written.size() : 0;
    Log::line(QStringLiteral("📊 Original: %1 bytes, Optimized: %2 bytes").arg(size).arg(newSize));
    const bool smaller = newSize < size && newSize > 0;
    Log::line(texts.completed + (smaller ? QStringLiteral("OPTIMIZED") : QStringLiteral("NO_CHANGE")));
    co_return Outcome<bool>::success(smaller);
}

} // namespace JpegReencoder
