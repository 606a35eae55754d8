#include "workers/PngquantWorker.h"

#include "platform/ImageIO.h"
#include "platform/Log.h"
#include "workers/PngReencoder.h"
#include "workers/ToolLocator.h"

#include <algorithm>

namespace {

// pngquant built without colour management drops an ICC profile, which
// changes how the image looks on screen.
bool keepsColourProfile(const IOFile& input, const QUrl& output)
{
    if (!ImageIO::hasPngChunkBeforeImageData(input.localPath(), "iCCP"))
        return true;
    const QString path = output.toLocalFile();
    if (ImageIO::hasPngChunkBeforeImageData(path, "iCCP") || ImageIO::hasPngChunkBeforeImageData(path, "sRGB"))
        return true;
    Log::line(QStringLiteral("⚠️ pngquant dropped the colour profile, output not used"));
    return false;
}

} // namespace

PngquantWorker::PngquantWorker(int minQuality, int speed)
    : BaseCommandWorker(QStringLiteral("pngquant")), minQuality(minQuality), speed(speed)
{
}

QStringList PngquantWorker::arguments(const IOFile& input, const QUrl& output) const
{
    const int maxQuality = std::min(minQuality + 20, 100);
    return {QStringLiteral("256"),
            QStringLiteral("--skip-if-larger"),
            QStringLiteral("-s%1").arg(speed),
            QStringLiteral("--quality"),
            QStringLiteral("%1-%2").arg(minQuality).arg(maxQuality),
            QStringLiteral("--output"),
            output.toLocalFile(),
            input.localPath()};
}

QCoro::Task<Outcome<bool>> PngquantWorker::optimizeFile(IOFile::Ptr input, QUrl output)
{
    // pngquant writes only the default image of an APNG and still exits 0.
    if (ImageIO::isAnimatedPng(input->localPath())) {
        Log::line(QStringLiteral("⚠️ pngquant skipped animated PNG: it would keep only the first frame"));
        co_return Outcome<bool>::success(false);
    }
    const auto tool = ToolLocator::findTool(QStringLiteral("pngquant"));
    if (!tool) {
        Log::line(QStringLiteral("⚠️ pngquant not found, using Core Graphics fallback"));
        co_return co_await coreGraphicsPNGQuantFallback(input, output);
    }
    const QStringList args = arguments(*input, output);
    const Outcome<ProcessResult> result = co_await executeProcess(*tool, args);
    if (result.failed())
        co_return result.error();
    switch (const int status = result.value().exitCode) {
    case 0:
        co_return Outcome<bool>::success(keepsColourProfile(*input, output));
    case 99:
        Log::line(QStringLiteral("pngquant skipped image due to low quality"));
        co_return Outcome<bool>::success(false);
    case 98:
        Log::line(QStringLiteral("pngquant skipped image due to poor compression"));
        co_return Outcome<bool>::success(false);
    default:
        co_return OptimizationError::toolExecution(name(), QStringLiteral("Exit code: %1").arg(status));
    }
}

QCoro::Task<Outcome<bool>> PngquantWorker::coreGraphicsPNGQuantFallback(IOFile::Ptr input, QUrl output)
{
    // Named, not a temporary: g++ 12 mishandles temporaries that live across a co_await.
    const PngReencoder::Texts texts = PngReencoder::pngquantTexts();
    co_return co_await PngReencoder::reencode(std::move(input), std::move(output), texts);
}
