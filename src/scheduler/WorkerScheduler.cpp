#include "scheduler/WorkerScheduler.h"

#include "platform/TaskGroup.h"
#include "scheduler/LosslessEntry.h"
#include "workers/JobWorkingFiles.h"
#include "workers/TemporaryFiles.h"

namespace {
const QString comparingResults = QStringLiteral("Comparing results");
}

void WorkerScheduler::reportProgress(JobContext& job, double fraction, const QString& toolName)
{
    job.reportProgress(fraction, toolName);
}

QCoro::Task<std::optional<WorkerResult>> WorkerScheduler::runCompetition(std::vector<OptimizationWorker::Ptr> workers,
                                                                         JobContext::Ptr job,
                                                                         IOFile::Ptr input, CancellationFlag cancel)
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
            takeLossyResult(*job, name, standing);
        reportProgress(*job, double(i + 1) / double(workerCount), name);
    }
    if (lossless.empty())
        co_return standing.result;
    // Named: g++ 12 destroys the value of `co_return co_await` twice.
    auto winner = co_await runLosslessPhase(std::move(lossless), job, input, cancel, lossy.size(), workerCount,
                                            std::move(standing));
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

QCoro::Task<std::optional<WorkerResult>> WorkerScheduler::runLosslessPhase(
    std::vector<OptimizationWorker::Ptr> workers, JobContext::Ptr job, IOFile::Ptr input,
    CancellationFlag cancel, std::size_t alreadyRun, std::size_t workerCount, Standing standing)
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
    co_return select(results, *job, standing);
}

std::optional<WorkerResult> WorkerScheduler::select(const std::vector<WorkerResult>& entries, JobContext& job,
                                                    const Standing& standing)
{
    if (entries.empty())
        return standing.result;
    // Never the file we are about to answer, nor the user's own.
    const auto discard = [&](const QUrl& url) {
        if ((standing.result && LosslessEntry::sameFile(url, standing.result->fileURL))
            || LosslessEntry::sameFile(url, job.fileURL()))
            return;
        TemporaryFiles::removeIfOurs(url.toLocalFile());
    };

    const WorkerResult* winner = &entries.front();
    for (const auto& entry : entries)
        if (entry.fileSize < winner->fileSize)
            winner = &entry;
    for (const auto& entry : entries)
        if (!LosslessEntry::sameFile(entry.fileURL, winner->fileURL))
            discard(entry.fileURL);
    if (winner->fileSize >= standing.size) {
        discard(winner->fileURL);
        return standing.result;
    }

    // The file as it is now must still be a smaller image the job accepts;
    // anything else would answer a result the pipeline cannot place.
    const IOFile::Ptr file = IOFile::read(winner->fileURL);
    QStringList names = standing.chain;
    names.append(winner->toolName);
    const QString chained = names.join(QLatin1Char('+'));
    if (!file || file->byteSize <= 0 || file->byteSize >= standing.size
        || !JobWorkingFiles::recordResult(job, *file, chained)) {
        discard(winner->fileURL);
        return standing.result;
    }
    return WorkerResult{chained, winner->fileURL, file->byteSize};
}
