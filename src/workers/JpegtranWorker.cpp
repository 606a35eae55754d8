// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/JpegtranWorker.h"

#include "platform/BackgroundTask.h"
#include "workers/JpegMetadata.h"
#include "workers/JpegReencoder.h"
#include "workers/JpegTrailer.h"

#include <QCoroFuture>

JpegtranWorker::JpegtranWorker(bool progressive, bool stripMetadata, bool lossyFallbackAllowed, int fallbackQuality)
    : JpegToolWorker(QStringLiteral("jpegtran")), progressive(progressive), stripMetadata(stripMetadata),
      lossyFallbackAllowed(lossyFallbackAllowed), fallbackQuality(fallbackQuality)
{
}

QStringList JpegtranWorker::testArguments() const
{
    return {QStringLiteral("-version")};
}

QStringList JpegtranWorker::arguments(const IOFile& input, const QUrl& output) const
{
    // jpegtran's default keeps only comments: EXIF and the colour profile would go.
    QString copy = QStringLiteral("all");
    // A motion photo's metadata locates the video after the image: keep it.
    if (stripMetadata && JpegTrailer::of(input.localPath()).isEmpty()) {
        // jpegtran cannot keep the EXIF orientation without the rest of the markers.
        const JpegMetadata metadata = JpegMetadata::read(input.localPath());
        copy = metadata.needsExif()            ? QStringLiteral("all")
               : metadata.needsColourProfile() ? QStringLiteral("icc")
                                               : QStringLiteral("none");
    }
    return {QStringLiteral("-optimize"),
            QStringLiteral("-copy"),
            copy,
            QStringLiteral("-progressive"),
            QStringLiteral("-outfile"),
            output.toLocalFile(),
            input.localPath()};
}

QCoro::Task<Outcome<JpegToolWorker::MainRun>> JpegtranWorker::mainRun(QString tool, IOFile::Ptr input, QUrl output)
{
    // The arguments depend on the file's markers, read off the event-loop thread.
    auto makeArguments = [this, input, output] { return arguments(*input, output); };
    const QStringList args = co_await BackgroundTask::run(makeArguments);
    const Outcome<ProcessResult> result = co_await executeProcess(tool, args);
    if (result.failed())
        co_return result.error();
    const ProcessResult& ran = result.value();
    co_return Outcome<MainRun>::success(MainRun{ran.exitCode == 0, ran.exitCode, ran.error});
}

QCoro::Task<Outcome<bool>> JpegtranWorker::imageIOFallback(IOFile::Ptr input, QUrl output)
{
    auto answer = co_await libvipsJpegtranFallback(std::move(input), std::move(output));
    co_return answer;
}

QCoro::Task<Outcome<bool>> JpegtranWorker::libvipsJpegtranFallback(IOFile::Ptr input, QUrl output)
{
    if (!lossyFallbackAllowed)
        co_return JpegReencoder::refuseLossy();
    reencoded_ = true;
    const JpegReencoder::Texts texts = JpegReencoder::jpegtranTexts();
    auto answer = co_await JpegReencoder::reencode(std::move(input), std::move(output), texts, fallbackQuality);
    co_return answer;
}
