// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/PngquantWorker.h"

#include "platform/BackgroundTask.h"
#include "platform/ImageIO.h"
#include "platform/Log.h"
#include "platform/PngChunks.h"
#include "workers/PngReencoder.h"
#include "workers/ToolLocator.h"

#include <QCoreApplication>
#include <QCoroFuture>
#include <QFile>

#include <algorithm>

namespace {

// pngquant built without colour management drops an ICC profile but leaves
// the pixels as they were, so the profile is put back right after the
// header, where it belongs. Without it the image would look different.
bool keepsColourProfile(const IOFile& input, const QUrl& output)
{
    const QByteArray profile = PngChunks::find(input.localPath(), "iCCP", true);
    if (profile.isEmpty())
        return true;
    const QString path = output.toLocalFile();
    if (ImageIO::hasPngChunkBeforeImageData(path, "iCCP") || ImageIO::hasPngChunkBeforeImageData(path, "sRGB"))
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    const qsizetype afterHeader = 8 + 8 + 13 + 4; // signature, then IHDR: length, type, data, CRC
    if (bytes.size() < afterHeader || bytes.mid(12, 4) != "IHDR") {
        qCInfo(lcTools).noquote() << QStringLiteral("pngquant dropped the colour profile, output not used");
        return false;
    }
    bytes.insert(afterHeader, profile);
    if (!file.seek(0) || file.write(bytes) != bytes.size() || !file.flush()) {
        qCInfo(lcTools).noquote() << QStringLiteral("pngquant dropped the colour profile, output not used");
        return false;
    }
    return true;
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
    // Files are read and rewritten on a pool, never on the event-loop thread.
    auto isAnimated = [path = input->localPath()] { return ImageIO::isAnimatedPng(path); };
    if (co_await BackgroundTask::run(isAnimated)) {
        qCInfo(lcTools).noquote() << QStringLiteral(
            "pngquant skipped animated PNG: it would keep only the first frame");
        co_return Outcome<bool>::success(false);
    }
    const auto tool = ToolLocator::findTool(QStringLiteral("pngquant"));
    if (!tool) {
        qCInfo(lcTools).noquote() << QStringLiteral("pngquant not found, using libvips fallback");
        const Outcome<bool> fallback = co_await coreGraphicsPNGQuantFallback(input, output);
        co_return fallback;
    }
    const QStringList args = arguments(*input, output);
    const Outcome<ProcessResult> result = co_await executeProcess(*tool, args);
    if (result.failed())
        co_return result.error();
    switch (const int status = result.value().exitCode) {
    case 0: {
        auto keepProfile = [input, output] { return keepsColourProfile(*input, output); };
        co_return Outcome<bool>::success(co_await BackgroundTask::run(keepProfile));
    }
    case 99:
        qCInfo(lcTools).noquote() << QStringLiteral("pngquant skipped image due to low quality");
        co_return Outcome<bool>::success(false);
    case 98:
        qCInfo(lcTools).noquote() << QStringLiteral("pngquant skipped image due to poor compression");
        co_return Outcome<bool>::success(false);
    default:
        co_return OptimizationError::toolExecution(
            name(), QCoreApplication::translate("PngquantWorker", "Exit code: %1").arg(status));
    }
}

QCoro::Task<Outcome<bool>> PngquantWorker::coreGraphicsPNGQuantFallback(IOFile::Ptr input, QUrl output)
{
    return PngReencoder::reencode(std::move(input), std::move(output), PngReencoder::pngquantTexts());
}
