// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/BaseCommandWorker.h"

#include "platform/BackgroundTask.h"
#include "platform/Log.h"
#include "platform/ProcessStart.h"
#include "workers/RunningTools.h"
#include "workers/TemporaryFiles.h"
#include "workers/ToolLocator.h"

#include <QCoreApplication>
#include <QCoroProcess>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Runs in the child between fork and exec: only async-signal-safe calls.
// Nice 10 as an absolute value, never a higher priority than the parent's.
// Its own process group: stopping the tool stops whatever it started, and a
// terminal's Ctrl+C reaches only us, who stop the tools in order. Its address
// space is bounded: a tool that believes a lying header fails on allocation.
void prepareChild(qint64 addressSpace)
{
    ::setpgid(0, 0);
    if (ToolMemoryLimit::enforced) {
        rlimit bound{RLIM_INFINITY, RLIM_INFINITY};
        ::getrlimit(RLIMIT_AS, &bound); // a tighter limit of ours stays
        bound.rlim_cur = std::min(bound.rlim_cur, rlim_t(addressSpace));
        bound.rlim_max = std::min(bound.rlim_max, rlim_t(addressSpace));
        ::setrlimit(RLIMIT_AS, &bound);
    }
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, 0);
    if (errno != 0 || current < BackgroundTask::niceValue)
        setpriority(PRIO_PROCESS, 0, BackgroundTask::niceValue);
}

// Takes the tool off the list however the run ends, even when the task is dropped.
struct Registration {
    QProcess* process;
    ~Registration() { RunningTools::shared().remove(process); }
};

QString decodeUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return {};
    return text;
}

} // namespace

BaseCommandWorker::BaseCommandWorker(QString name) : BaseWorker(std::move(name))
{
}

BaseCommandWorker::~BaseCommandWorker() = default;

QCoro::Task<Outcome<bool>> BaseCommandWorker::optimizeFile(IOFile::Ptr, QUrl)
{
    qFatal("Must be implemented by subclass");
    co_return Outcome<bool>::success(false);
}

QUrl BaseCommandWorker::makeTempOutputURL() const
{
    return TemporaryFiles::makeURL(name(), QStringLiteral("temp"));
}

std::optional<QString> BaseCommandWorker::findNamedTool(const QString& kind) const
{
    auto tool = ToolLocator::findTool(name());
    if (!tool)
        qCInfo(lcTools).noquote() << QStringLiteral("%1 not found, skipping %2 optimization").arg(name(), kind);
    return tool;
}

Outcome<bool> BaseCommandWorker::answerForExit(int status) const
{
    if (status != 0)
        return OptimizationError::toolExecution(
            name(), QCoreApplication::translate("BaseCommandWorker", "Exit code: %1").arg(status));
    return Outcome<bool>::success(true);
}

QCoro::Task<Outcome<bool>> BaseCommandWorker::runNamedTool(QString kind, QStringList arguments)
{
    const auto tool = findNamedTool(kind);
    if (!tool)
        co_return Outcome<bool>::success(false);
    const Outcome<ProcessResult> result = co_await executeProcess(*tool, arguments);
    if (result.failed())
        co_return result.error();
    co_return answerForExit(result.value().exitCode);
}

std::chrono::milliseconds BaseCommandWorker::timeoutFor(qint64 bytes)
{
    bool ok = false;
    const double seconds = qEnvironmentVariable("PRESSLY_TOOL_TIMEOUT").toDouble(&ok);
    if (ok && seconds > 0)
        return std::chrono::milliseconds(qint64(seconds * 1000.0));
    const qint64 megabytes = std::max<qint64>(bytes, 0) / 1'000'000;
    return std::chrono::seconds(60) + std::chrono::seconds(10) * megabytes;
}

qint64 BaseCommandWorker::sizeToTimeFor(const IOFile::Ptr& input) const
{
    if (input)
        return input->byteSize;
    const auto owner = job();
    return owner ? owner->originalSize() : 0;
}

QUrl BaseCommandWorker::makeOutputURL() const
{
    return makeTempOutputURL();
}

QCoro::Task<Outcome<bool>> BaseCommandWorker::writeOutput(IOFile::Ptr input, QUrl output)
{
    return optimizeFile(std::move(input), std::move(output));
}

void BaseCommandWorker::prepareToolProcess(QProcess& process, const QString& executable, qint64 addressSpace)
{
    process.setProgram(executable);
    process.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    // Our private folder: a tool that writes beside itself writes nowhere a
    // user looks, and a moved or read-only install folder does not matter.
    const QString working = TemporaryFiles::knownDirectory();
    process.setWorkingDirectory(working.isEmpty() ? QDir::tempPath() : working);
    process.setChildProcessModifier([addressSpace] { prepareChild(addressSpace); });
}

QCoro::Task<Outcome<ProcessResult>> BaseCommandWorker::executeProcess(QString executable, QStringList arguments,
                                                                      IOFile::Ptr input, std::optional<QUrl> output)
{
    const auto owner = job();
    // Nothing is awaited from here until the tool is listed below, so a cancel reaches it either way.
    if (owner && owner->batchCancelled())
        co_return OptimizationError::toolExecution(
            name(), QCoreApplication::translate("BaseCommandWorker", "Not started: the batch was cancelled"));
    qCInfo(lcTools).noquote() << QStringLiteral("Executing: ") + executable + QLatin1Char(' ')
                                     + arguments.join(QLatin1Char(' '));

    auto process = std::make_unique<QProcess>();
    prepareToolProcess(*process, executable, ToolMemoryLimit::forPixels(owner ? owner->declaredPixels() : 0));
    process->setArguments(arguments);

    if (input) {
        QFile file(input->localPath());
        if (!file.open(QIODevice::ReadOnly))
            co_return OptimizationError::toolExecution(
                name(), QCoreApplication::translate("BaseCommandWorker", "Could not read input file"));
        process->setStandardInputFile(input->localPath());
    } else {
        // A tool that reads standard input must meet its end, never a pipe left open.
        process->setStandardInputFile(QProcess::nullDevice());
    }
    if (output) {
        const QString path = output->toLocalFile();
        QFile file(path);
        if (path.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            co_return OptimizationError::toolExecution(
                name(), QCoreApplication::translate("BaseCommandWorker", "Could not create output file"));
        file.close();
        process->setStandardOutputFile(path, QIODevice::Truncate);
    }

    // One tool at a time per worker: the previous child has long finished.
    process_ = std::move(process);
    QProcess* child = process_.get();
    child->start();
    // Listed while it starts, so a cancel in the meantime reaches it too.
    QString stopReason;
    const Registration registration{child};
    RunningTools::shared().add(child, [&stopReason](const QString& reason) { stopReason = reason; });
    const bool started = co_await ProcessStart::started(*child);
    if (!started)
        co_return OptimizationError::toolExecution(name(), child->errorString());
    const auto limit = timeoutFor(sizeToTimeFor(input));
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, child, [&stopReason, child, limit] {
        stopReason = QCoreApplication::translate("BaseCommandWorker", "Stopped after running for %1 s")
                         .arg(double(limit.count()) / 1000.0);
        RunningTools::stop(*child, RunningTools::grace);
    });
    watchdog.start(limit);
    // The event loop runs while we wait, so QProcess keeps draining both pipes.
    if (child->state() != QProcess::NotRunning)
        co_await qCoro(child).waitForFinished(-1);
    watchdog.stop();
    if (!stopReason.isEmpty())
        co_return OptimizationError::toolExecution(name(), stopReason);

    ProcessResult result;
    result.exitCode = child->exitCode();
    if (child->exitStatus() == QProcess::CrashExit) {
        // A killed tool may leave a partial output: never report it as status 0.
        result.exitCode = 128 + (result.exitCode > 0 ? result.exitCode : 0);
        if (result.exitCode == 128)
            result.exitCode = 255;
    }
    result.output = decodeUtf8(child->readAllStandardOutput());
    result.error = decodeUtf8(child->readAllStandardError());
    co_return Outcome<ProcessResult>::success(std::move(result));
}
