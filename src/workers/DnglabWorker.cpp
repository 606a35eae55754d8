// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/DnglabWorker.h"

#include "core/JobContext.h"
#include "platform/BackgroundTask.h"
#include "platform/Log.h"
#include "workers/JobWorkingFiles.h"
#include "workers/TemporaryFiles.h"
#include "workers/ToolLocator.h"

#include <QCoroFuture>
#include <QFileInfo>

namespace {
QString yesNo(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}
} // namespace

DnglabWorker::DnglabWorker(bool stripMetadata)
    : BaseCommandWorker(QStringLiteral("dnglab")), stripMetadata(stripMetadata)
{
}

QStringList DnglabWorker::arguments(const IOFile& input, const QUrl& output) const
{
    QStringList args{QStringLiteral("convert"), QStringLiteral("--compression"), QStringLiteral("lossless"),
                     QStringLiteral("--embed-raw"), QStringLiteral("false")};
    if (stripMetadata)
        args << QStringLiteral("--dng-preview") << QStringLiteral("false") << QStringLiteral("--dng-thumbnail")
             << QStringLiteral("false");
    args << QStringLiteral("-f") << input.localPath() << output.toLocalFile();
    return args;
}

QCoro::Task<Outcome<bool>> DnglabWorker::optimizeFile(IOFile::Ptr input, QUrl output)
{
    const auto tool = ToolLocator::findTool(QStringLiteral("dnglab"));
    if (!tool) {
        qCInfo(lcTools).noquote() << QStringLiteral("[DnglabWorker] dnglab not found");
        co_return Outcome<bool>::success(false);
    }
    qCInfo(lcTools).noquote() << QStringLiteral("[DnglabWorker] executable=") + *tool;
    const QStringList args = arguments(*input, output);
    qCInfo(lcTools).noquote() << QStringLiteral("[DnglabWorker] args: ") + args.join(QLatin1Char(' '));
    const Outcome<ProcessResult> result = co_await executeProcess(*tool, args);
    if (result.failed())
        co_return result.error();
    const ProcessResult& ran = result.value();
    qCInfo(lcTools).noquote() << QStringLiteral("[DnglabWorker] exit=%1 stdout=[%2] stderr=[%3]")
                                     .arg(QString::number(ran.exitCode), ran.output, ran.error);
    if (ran.exitCode != 0)
        co_return Outcome<bool>::success(false);
    co_return Outcome<bool>::success(true);
}

QCoro::Task<Failure> DnglabWorker::run()
{
    const Outcome<Inputs> inputs = takeInputs();
    if (inputs.failed())
        co_return inputs.error();
    const auto& [job, input] = inputs.value();
    qCInfo(lcTools).noquote() << QStringLiteral("[DnglabWorker] run() started, input=%1 fileType=%2 size=%3")
                                     .arg(input->localPath())
                                     .arg(int(input->fileType))
                                     .arg(input->byteSize);

    const QUrl output = TemporaryFiles::makeURL(QStringLiteral("dnglab"), QStringLiteral("dng"));
    const QString outputPath = output.toLocalFile();
    const Outcome<bool> written = co_await optimizeFile(input, output);
    if (written.failed()) {
        qCInfo(lcTools).noquote() << QStringLiteral("[DnglabWorker] error: ") + written.error().errorDescription();
        TemporaryFiles::removeLater(outputPath);
        co_return written.error();
    }
    qCInfo(lcTools).noquote() << QStringLiteral("[DnglabWorker] optimizeFile returned ") + yesNo(written.value());
    // The output is looked at off the event loop: our folder may be on a slow disk.
    auto readOutput = [output, wanted = written.value()]() -> IOFile::Ptr {
        return wanted && QFileInfo::exists(output.toLocalFile()) ? IOFile::read(output) : nullptr;
    };
    const IOFile::Ptr result = co_await BackgroundTask::run(readOutput);
    if (!result || result->fileType != input->fileType) {
        qCInfo(lcTools).noquote() << QStringLiteral("[DnglabWorker] no usable output at ") + outputPath;
        TemporaryFiles::removeLater(outputPath);
        co_return std::nullopt;
    }
    qCInfo(lcTools).noquote() << QStringLiteral("[DnglabWorker] IOFile created, size=%1 (original=%2)")
                                     .arg(result->byteSize)
                                     .arg(input->byteSize);
    // A result that is not smaller is no one's: it must not outlive the job.
    if (!JobWorkingFiles::recordResult(*job, *result, resultName()))
        TemporaryFiles::removeLater(outputPath);
    co_return std::nullopt;
}
