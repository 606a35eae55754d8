// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "scheduler/LosslessEntry.h"

#include "platform/BackgroundTask.h"
#include "platform/Log.h"
#include "workers/BaseCommandWorker.h"
#include "workers/JobWorkingFiles.h"
#include "workers/TemporaryFiles.h"

#include <QCoroFuture>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

// Deletes a temporary file of ours when the task ends, unless it is kept.
class Scratch {
public:
    explicit Scratch(QUrl url) : url_(std::move(url)) { }
    ~Scratch() { removeNow(); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    void removeNow()
    {
        if (!done_)
            TemporaryFiles::removeLater(url_.toLocalFile());
        done_ = true;
    }
    void keep() { done_ = true; }

private:
    const QUrl url_;
    bool done_ = false;
};

QString extensionOf(const IOFile& file)
{
    const QString suffix = QFileInfo(file.localPath()).suffix();
    return suffix.isEmpty() ? QStringLiteral("temp") : suffix;
}

// A command tool's output counts only when it is there, not empty, smaller
// than what it started from and still the same kind of image.
std::optional<WorkerResult> judgeOutput(const BaseCommandWorker& worker, const IOFile& copy, const QUrl& output,
                                        qint64 baseSize)
{
    struct stat info { };
    const QByteArray path = QFile::encodeName(output.toLocalFile());
    if (::stat(path.constData(), &info) != 0) {
        if (errno != ENOENT)
            LosslessEntry::logFailure(2, worker.name(), QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    const qint64 size = qint64(info.st_size);
    if (!S_ISREG(info.st_mode) || size <= 0 || size >= baseSize)
        return std::nullopt;
    const IOFile::Ptr written = IOFile::read(output);
    if (!written || written->fileType != copy.fileType)
        return std::nullopt;
    return WorkerResult{worker.resultName(), output, size};
}

} // namespace

namespace LosslessEntry {

void logFailure(int phase, const QString& workerName, const QString& description)
{
    qCInfo(lcScheduler).noquote() << QStringLiteral("Phase ") + QString::number(phase) + QStringLiteral(" worker ")
                                         + workerName + QStringLiteral(" failed: ") + description;
}

bool sameFile(const QUrl& a, const QUrl& b)
{
    const QString left = a.toLocalFile();
    const QString right = b.toLocalFile();
    return QDir::cleanPath(left) == QDir::cleanPath(right);
}

QCoro::Task<std::optional<WorkerResult>> run(OptimizationWorker::Ptr worker, JobContext::Ptr job, IOFile::Ptr current,
                                             qint64 baseSize, CancellationFlag cancel)
{
    if (cancel.isCancelled())
        co_return std::nullopt;
    const QString name = worker->name();
    const QString extension = extensionOf(*current);

    const QUrl copyURL = TemporaryFiles::makeURL(QStringLiteral("compete.") + name, extension);
    Scratch copyFileGuard(copyURL);
    const QString source = current->localPath();
    const QString target = copyURL.toLocalFile();
    // Copied and read on the pool: a slow disk must not freeze the window.
    const auto copyAndRead = [source, target, copyURL, name]() -> IOFile::Ptr {
        const QString copyError = TemporaryFiles::copyFile(source, target);
        if (!copyError.isEmpty()) {
            logFailure(2, name, copyError);
            return nullptr;
        }
        return IOFile::read(copyURL);
    };
    const IOFile::Ptr copy = co_await BackgroundTask::run(copyAndRead);
    if (!copy)
        co_return std::nullopt;

    const QUrl outputURL = TemporaryFiles::makeURL(QStringLiteral("output.") + name, extension);
    Scratch output(outputURL);

    if (auto command = std::dynamic_pointer_cast<BaseCommandWorker>(worker)) {
        const Outcome<bool> answer = co_await command->optimizeFile(copy, outputURL);
        if (answer.failed()) {
            logFailure(2, name, answer.error().errorDescription());
            co_return std::nullopt;
        }
        copyFileGuard.removeNow();
        if (!answer.value())
            co_return std::nullopt;
        const auto judge = [command, copy, outputURL, baseSize] {
            return judgeOutput(*command, *copy, outputURL, baseSize);
        };
        const std::optional<WorkerResult> result = co_await BackgroundTask::run(judge);
        if (result)
            output.keep();
        co_return result;
    }

    // Other workers improve the job's working file themselves.
    const Failure failure = co_await worker->run();
    if (failure) {
        logFailure(2, name, failure->errorDescription());
        co_return std::nullopt;
    }
    copyFileGuard.removeNow();
    const IOFile::Ptr file = JobWorkingFiles::workingInputFile(*job);
    // The job's own file is never a result, whatever its size now.
    if (file && file->byteSize < baseSize && !sameFile(file->path, job->fileURL()))
        co_return WorkerResult{name, file->path, file->byteSize};
    co_return std::nullopt;
}

} // namespace LosslessEntry
