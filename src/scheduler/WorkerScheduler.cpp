// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "scheduler/WorkerScheduler.h"

#include "platform/BackgroundTask.h"
#include "platform/TaskGroup.h"
#include "scheduler/LosslessEntry.h"
#include "workers/JobWorkingFiles.h"
#include "workers/TemporaryFiles.h"
#include "workers/WorkingFilesManager.h"

#include <QCoroFuture>

#include <algorithm>

namespace {
const QString comparingResults = QStringLiteral("Comparing results");
}

void WorkerScheduler::reportProgress(JobContext& job, double fraction, const QString& toolName)
{
    job.reportProgress(fraction, toolName);
}

QCoro::Task<std::optional<WorkerResult>> WorkerScheduler::runCompetition(std::vector<OptimizationWorker::Ptr> workers,
                                                                         JobContext::Ptr job, IOFile::Ptr input,
                                                                         CancellationFlag cancel, Vetting vet)
{
    std::vector<OptimizationWorker::Ptr> lossy;
    std::vector<OptimizationWorker::Ptr> lossless;
    for (auto& worker : workers)
        if (worker)
            (worker->isLossy() ? lossy : lossless).push_back(worker);
    const std::size_t workerCount = lossy.size() + lossless.size();
    if (workerCount == 0 || !job || !input)
        co_return std::nullopt;

    Standing standing;
    standing.size = input->byteSize;
    for (std::size_t i = 0; i < lossy.size(); ++i) {
        if (cancel.isCancelled())
            co_return standing.result;
        const OptimizationWorker::Ptr worker = lossy[i];
        const QString name = worker->name();
        reportProgress(*job, double(i) / double(workerCount), name);
        const Failure failure = co_await worker->run();
        if (failure)
            LosslessEntry::logFailure(1, name, failure->errorDescription());
        else
            takeLossyResult(*job, worker->resultName(), standing);
        reportProgress(*job, double(i + 1) / double(workerCount), name);
    }
    if (lossless.empty())
        co_return standing.result;
    // Named: g++ 12 destroys the value of `co_return co_await` twice.
    auto winner = co_await runLosslessPhase(std::move(lossless), job, input, cancel, std::move(vet), lossy.size(),
                                            workerCount, std::move(standing));
    co_return winner;
}

void WorkerScheduler::takeLossyResult(const JobContext& job, const QString& toolName, Standing& standing)
{
    const IOFile::Ptr file = JobWorkingFiles::workingInputFile(job);
    // Only a file the worker wrote counts: the job's own file is never a
    // result, even when it reads smaller than the input did.
    if (!file || file->byteSize >= standing.size || LosslessEntry::sameFile(file->path, job.fileURL()))
        return;
    standing.result = WorkerResult{toolName, file->path, file->byteSize};
    standing.size = file->byteSize;
    standing.chain.append(toolName);
}

QCoro::Task<std::optional<WorkerResult>> WorkerScheduler::runLosslessPhase(std::vector<OptimizationWorker::Ptr> workers,
                                                                           JobContext::Ptr job, IOFile::Ptr input,
                                                                           CancellationFlag cancel, Vetting vet,
                                                                           std::size_t alreadyRun,
                                                                           std::size_t workerCount, Standing standing)
{
    IOFile::Ptr current = JobWorkingFiles::workingInputFile(*job);
    if (!current)
        current = input;
    const qint64 baseSize = current->byteSize;

    std::vector<QCoro::Task<std::optional<WorkerResult>>> entries;
    entries.reserve(workers.size());
    for (const auto& worker : workers)
        entries.push_back(LosslessEntry::run(worker, job, current, baseSize, cancel));

    std::size_t finished = alreadyRun;
    std::function<void(const std::optional<WorkerResult>&)> onEach = [&](const std::optional<WorkerResult>&) {
        ++finished;
        reportProgress(*job, double(finished) / double(workerCount), comparingResults);
    };
    const auto answers = co_await TaskGroup::inCompletionOrder(std::move(entries), onEach);

    std::vector<WorkerResult> results;
    for (const auto& answer : answers)
        if (answer)
            results.push_back(*answer);
    auto chosen = co_await select(std::move(results), job, std::move(standing), std::move(vet));
    co_return chosen;
}

QCoro::Task<std::optional<WorkerResult>> WorkerScheduler::select(std::vector<WorkerResult> entries, JobContext::Ptr job,
                                                                 Standing standing, Vetting vet)
{
    // Never the file we are about to answer, the user's own, nor the job's
    // working file (it goes with the job). The removal itself runs off the
    // event loop, and touches only files of our private folder.
    const auto discard = [&](const QUrl& url) {
        const auto working = WorkingFilesManager::shared().workingFile(JobWorkingFiles::key(*job));
        if ((standing.result && LosslessEntry::sameFile(url, standing.result->fileURL))
            || LosslessEntry::sameFile(url, job->fileURL()) || (working && LosslessEntry::sameFile(url, *working)))
            return;
        TemporaryFiles::removeLater(url.toLocalFile());
    };
    // Smallest first; on equal sizes the one that finished first.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const WorkerResult& a, const WorkerResult& b) { return a.fileSize < b.fileSize; });
    QStringList names = standing.chain;
    names.append(QString());
    std::optional<WorkerResult> chosen;
    for (const auto& entry : entries) {
        if (chosen && LosslessEntry::sameFile(entry.fileURL, chosen->fileURL))
            continue;
        if (chosen || entry.fileSize >= standing.size) {
            discard(entry.fileURL);
            continue;
        }
        names.last() = entry.toolName;
        const auto taken = co_await take(entry, names.join(QLatin1Char('+')), job, standing.size, vet);
        if (taken)
            chosen = taken;
        else
            discard(entry.fileURL);
    }
    co_return chosen ? chosen : standing.result;
}

// The file as it is now must still be a smaller image that passes the vetting
// and that the job accepts; anything else would answer a result the pipeline
// cannot place.
QCoro::Task<std::optional<WorkerResult>> WorkerScheduler::take(WorkerResult entry, QString chained, JobContext::Ptr job,
                                                               qint64 sizeToBeat, Vetting vet)
{
    const QUrl url = entry.fileURL;
    const auto read = [url] { return IOFile::read(url); };
    const IOFile::Ptr file = co_await BackgroundTask::run(read);
    if (!file || file->byteSize <= 0 || file->byteSize >= sizeToBeat)
        co_return std::nullopt;
    const WorkerResult candidate{chained, entry.fileURL, file->byteSize};
    if (vet) {
        const bool accepted = co_await vet(candidate);
        if (!accepted)
            co_return std::nullopt;
    }
    if (!JobWorkingFiles::recordResult(*job, *file, chained))
        co_return std::nullopt;
    co_return candidate;
}
