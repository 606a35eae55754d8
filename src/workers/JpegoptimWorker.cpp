// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/JpegoptimWorker.h"

#include "platform/BackgroundTask.h"
#include "workers/JpegMetadata.h"
#include "workers/JpegReencoder.h"
#include "workers/JpegTrailer.h"
#include "workers/TemporaryFiles.h"

#include <QCoroFuture>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// rename(2) replaces whatever a failed earlier step left at the output.
QString moveFile(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return {};
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

JpegoptimWorker::JpegoptimWorker(int maxQuality, bool stripMetadata)
    : JpegToolWorker(QStringLiteral("jpegoptim")), maxQuality(maxQuality), stripMetadata(stripMetadata)
{
}

QStringList JpegoptimWorker::testArguments() const
{
    return {QStringLiteral("--help")};
}

QStringList JpegoptimWorker::arguments(const IOFile& input, const QString& workingPath) const
{
    QStringList args;
    // A motion photo's metadata locates the video after the image: keep it.
    if (stripMetadata && JpegTrailer::of(input.localPath()).isEmpty()) {
        args << QStringLiteral("--strip-all");
        // jpegoptim can keep only the whole EXIF block, which holds the orientation.
        const JpegMetadata metadata = JpegMetadata::read(input.localPath());
        if (metadata.needsExif())
            args << QStringLiteral("--keep-exif");
        if (metadata.needsColourProfile())
            args << QStringLiteral("--keep-icc");
    }
    // Progressive scans save bytes at the same quantisation.
    args << QStringLiteral("--all-progressive") << QStringLiteral("-m%1").arg(maxQuality) << workingPath;
    return args;
}

QCoro::Task<Outcome<JpegToolWorker::MainRun>> JpegoptimWorker::mainRun(QString tool, IOFile::Ptr input, QUrl output)
{
    const QString outputPath = output.toLocalFile();
    const QString working = outputPath + QStringLiteral(".working");
    const QString inputPath = input->localPath();
    auto copy = [inputPath, working] { return TemporaryFiles::copyFile(inputPath, working); };
    const QString copyError = co_await BackgroundTask::run(copy);
    if (!copyError.isEmpty())
        co_return OptimizationError::platform(copyError);

    // The arguments depend on the file's markers, read off the event-loop thread.
    auto makeArguments = [this, input, working] { return arguments(*input, working); };
    const QStringList args = co_await BackgroundTask::run(makeArguments);
    const Outcome<ProcessResult> result = co_await executeProcess(tool, args);
    if (result.failed()) {
        TemporaryFiles::removeLater(working);
        co_return result.error();
    }
    const ProcessResult& ran = result.value();
    struct Moved {
        bool written = false;
        QString error;
    };
    // jpegoptim also answers 0 for a file that is not there.
    auto move = [working, outputPath, succeeded = ran.exitCode == 0] {
        Moved moved;
        moved.written = succeeded && QFileInfo(working).size() > 0;
        moved.error = moved.written ? moveFile(working, outputPath) : QString();
        if (!moved.written || !moved.error.isEmpty())
            QFile::remove(working);
        return moved;
    };
    const Moved moved = co_await BackgroundTask::run(move);
    if (!moved.written)
        co_return Outcome<MainRun>::success(MainRun{false, ran.exitCode, ran.error});
    if (!moved.error.isEmpty())
        co_return OptimizationError::platform(moved.error);
    co_return Outcome<MainRun>::success(MainRun{true, 0, {}});
}

QCoro::Task<Outcome<bool>> JpegoptimWorker::imageIOFallback(IOFile::Ptr input, QUrl output)
{
    auto answer = co_await libvipsJpegFallback(std::move(input), std::move(output));
    co_return answer;
}

QCoro::Task<Outcome<bool>> JpegoptimWorker::libvipsJpegFallback(IOFile::Ptr input, QUrl output)
{
    if (maxQuality >= 100)
        co_return JpegReencoder::refuseLossy();
    reencoded_ = true;
    const JpegReencoder::Texts texts = JpegReencoder::jpegoptimTexts();
    auto answer = co_await JpegReencoder::reencode(std::move(input), std::move(output), texts, maxQuality);
    co_return answer;
}
