// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/OxiPngWorker.h"

#include "platform/BackgroundTask.h"
#include "platform/ImageIO.h"
#include "platform/Log.h"
#include "workers/PngMetadataChunks.h"
#include "workers/PngReencoder.h"
#include "workers/ToolLocator.h"

#include <QCoroFuture>

OxiPngWorker::OxiPngWorker(int optLevel, bool stripMetadata)
    : BaseCommandWorker(QStringLiteral("oxipng")), optLevel(optLevel), stripMetadata(stripMetadata)
{
}

QStringList OxiPngWorker::arguments(const IOFile& input, const QUrl& output) const
{
    const int level = optLevel > 0 ? optLevel : 6;
    QStringList args;
    // oxipng 4's "safe" strip drops eXIf and with it the orientation.
    if (stripMetadata && !ImageIO::hasPngChunk(input.localPath(), "eXIf"))
        args << QStringLiteral("--strip=safe");
    // libdeflate packs smaller than zlib at every level and needs fewer trials.
    args << QStringLiteral("-o%1").arg(level) << QStringLiteral("-D") << QStringLiteral("-i0") << QStringLiteral("-a")
         << QStringLiteral("--out") << output.toLocalFile() << QStringLiteral("--") << input.localPath();
    return args;
}

QCoro::Task<Outcome<bool>> OxiPngWorker::optimizeFile(IOFile::Ptr input, QUrl output)
{
    const auto tool = ToolLocator::findTool(QStringLiteral("oxipng"));
    if (!tool) {
        qCInfo(lcTools).noquote() << QStringLiteral("oxipng not found, using libvips fallback");
        const Outcome<bool> fallback = co_await libvipsPngFallback(input, output);
        co_return fallback;
    }
    // Chunk reads go to a pool: the event-loop thread never waits on the disk.
    auto makeArguments = [this, input, output] { return arguments(*input, output); };
    const QStringList args = co_await BackgroundTask::run(makeArguments);
    const Outcome<ProcessResult> result = co_await executeProcess(*tool, args);
    if (result.failed())
        co_return result.error();
    if (result.value().exitCode != 0)
        co_return OptimizationError::toolExecution(name(), result.value().error);
    auto keepsWhatShows =
        [in = input->localPath(), out = output.toLocalFile(),
         restoreText = !args.contains(QStringLiteral("--strip=safe"))] {
            // Whatever oxipng version is installed, an animation must keep its frames.
            if (ImageIO::isAnimatedPng(in) && !ImageIO::isAnimatedPng(out)) {
                qCInfo(lcTools).noquote()
                    << QStringLiteral("oxipng dropped the animation of an animated PNG, output not used");
                return false;
            }
            if (ImageIO::hasPngChunk(in, "eXIf") && !ImageIO::hasPngChunk(out, "eXIf")) {
                qCInfo(lcTools).noquote() << QStringLiteral("oxipng dropped the EXIF orientation, output not used");
                return false;
            }
            // Unless asked to strip, every comment stays.
            if (restoreText && !PngMetadataChunks::restore(in, out)) {
                qCInfo(lcTools).noquote()
                    << QStringLiteral("oxipng output cannot take back the PNG's text, output not used");
                return false;
            }
            return true;
        };
    const bool kept = co_await BackgroundTask::run(keepsWhatShows);
    co_return Outcome<bool>::success(kept);
}

QCoro::Task<Outcome<bool>> OxiPngWorker::libvipsPngFallback(IOFile::Ptr input, QUrl output)
{
    return PngReencoder::reencode(std::move(input), std::move(output), PngReencoder::losslessTexts());
}
