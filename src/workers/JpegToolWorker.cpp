// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/JpegToolWorker.h"

#include "platform/BackgroundTask.h"
#include "platform/Log.h"
#include "workers/JpegTrailer.h"
#include "workers/ToolLocator.h"
#include "workers/ToolProbe.h"

#include <QCoroFuture>
#include <QFileInfo>

QCoro::Task<Outcome<bool>> JpegToolWorker::optimizeFile(IOFile::Ptr input, QUrl output)
{
    const Outcome<bool> answer = co_await optimizeImage(input, output);
    if (answer.failed() || !answer.value())
        co_return answer;
    // The tools end the file at the image; a motion photo's video follows it.
    auto carry = [from = input->localPath(), to = output.toLocalFile()] {
        const QByteArray trailer = JpegTrailer::of(from);
        return trailer.isEmpty() || JpegTrailer::carryOver(trailer, to);
    };
    const bool carried = co_await BackgroundTask::run(carry);
    if (!carried) {
        qCInfo(lcTools).noquote()
            << QStringLiteral("%1 output cannot carry the data after the image, not used").arg(name());
        co_return Outcome<bool>::success(false);
    }
    co_return answer;
}

QCoro::Task<Outcome<bool>> JpegToolWorker::optimizeImage(IOFile::Ptr input, QUrl output)
{
    const QString tool = name();
    const auto found = ToolLocator::findTool(tool);
    if (!found) {
        qCInfo(lcTools).noquote() << QStringLiteral("%1 not found, using libvips fallback").arg(tool);
        auto answer = co_await imageIOFallback(input, output);
        co_return answer;
    }

    // Named: g++ 12 mishandles temporaries inside a co_await expression.
    ToolProbe::Run testRun = [this, tool = *found] { return probe(tool); };
    const QString toolPath = *found;
    const ToolProbe::Answer test = co_await ToolProbe::ask(toolPath, std::move(testRun));
    if (!test.started) {
        auto answer = co_await afterCannotExecute(test.startError, input, output);
        co_return answer;
    }
    if (const int status = test.exitCode; status != 0 && status != 1) {
        qCInfo(lcTools).noquote() << QStringLiteral("%1 bundled tool test failed (exit %2), trying system tools")
                                         .arg(tool, QString::number(status));
        const Outcome<bool> answer = co_await systemToolOrFallback(input, output);
        if (!answer.failed())
            co_return answer;
        auto retried = co_await afterCannotExecute(answer.error().errorDescription(), input, output);
        co_return retried;
    }

    const Outcome<MainRun> run = co_await mainRun(*found, input, output);
    if (run.failed())
        co_return run.error();
    if (run.value().succeeded)
        co_return Outcome<bool>::success(true);
    qCInfo(lcTools).noquote() << QStringLiteral("%1 optimization failed (exit %2): %3")
                                     .arg(tool, QString::number(run.value().exitCode), run.value().error);
    auto answer = co_await finalFallback(toolPath, input, output);
    co_return answer;
}

QString JpegToolWorker::resultName() const
{
    return reencoded_ ? reencoderName() : name();
}

QCoro::Task<ToolProbe::Answer> JpegToolWorker::probe(QString tool)
{
    const QStringList testArgs = testArguments();
    const Outcome<ProcessResult> test = co_await executeProcess(tool, testArgs);
    ToolProbe::Answer answer;
    answer.started = !test.failed();
    if (test.failed())
        answer.startError = test.error().errorDescription();
    else
        answer.exitCode = test.value().exitCode;
    co_return answer;
}

QCoro::Task<Outcome<bool>> JpegToolWorker::systemToolOrFallback(IOFile::Ptr input, QUrl output)
{
    const QString tool = name();
    const auto system = ToolLocator::findSystemTool(tool);
    if (system) {
        qCInfo(lcTools).noquote() << QStringLiteral("Found system %1 at: %2").arg(tool, *system);
        auto answer = co_await runSystemTool(*system, input, output);
        co_return answer;
    }
    qCInfo(lcTools).noquote() << QStringLiteral("No system %1 found, using libvips fallback").arg(tool);
    auto answer = co_await imageIOFallback(input, output);
    co_return answer;
}

QCoro::Task<Outcome<bool>> JpegToolWorker::afterCannotExecute(QString description, IOFile::Ptr input, QUrl output)
{
    qCInfo(lcTools).noquote() << QStringLiteral("%1 bundled tool cannot execute: %2").arg(name(), description);
    auto answer = co_await systemToolOrFallback(input, output);
    co_return answer;
}

QCoro::Task<Outcome<bool>> JpegToolWorker::finalFallback(QString failed, IOFile::Ptr input, QUrl output)
{
    const auto system = ToolLocator::findSystemTool(name());
    const auto sameBinary = [](const QString& a, const QString& b) {
        const QString canonical = QFileInfo(a).canonicalFilePath();
        return a == b || (!canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath());
    };
    if (system && !sameBinary(*system, failed)) {
        qCInfo(lcTools).noquote() << QStringLiteral("Trying system %1 as final fallback").arg(name());
        auto answer = co_await runSystemTool(*system, input, output);
        co_return answer;
    }
    qCInfo(lcTools).noquote() << QStringLiteral("Falling back to libvips JPEG optimization");
    auto answer = co_await imageIOFallback(input, output);
    co_return answer;
}

QCoro::Task<Outcome<bool>> JpegToolWorker::runSystemTool(QString tool, IOFile::Ptr input, QUrl output)
{
    qCInfo(lcTools).noquote() << QStringLiteral("Using system %1: %2").arg(name(), tool);
    const Outcome<MainRun> run = co_await mainRun(tool, input, output);
    if (run.failed())
        co_return run.error();
    if (run.value().succeeded)
        co_return Outcome<bool>::success(true);
    qCInfo(lcTools).noquote() << QStringLiteral("System %1 also failed (exit %2): %3")
                                     .arg(name())
                                     .arg(run.value().exitCode)
                                     .arg(run.value().error);
    qCInfo(lcTools).noquote() << QStringLiteral("Falling back to libvips JPEG optimization");
    auto answer = co_await imageIOFallback(input, output);
    co_return answer;
}
