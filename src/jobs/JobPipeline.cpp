// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/JobPipeline.h"

#include "jobs/ImageSizeGuard.h"
#include "jobs/OutputPlacement.h"
#include "jobs/OutputVerifier.h"
#include "platform/BackgroundTask.h"
#include "platform/FileLock.h"
#include "platform/ImageInspector.h"
#include "platform/Log.h"
#include "platform/PixelBudget.h"
#include "store/ResultsCache.h"
#include "workers/JobWorkingFiles.h"
#include "workers/TemporaryFiles.h"
#include "workers/WorkingFilesManager.h"

#include <QCoreApplication>
#include <QCoroFuture>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>

JobPipeline::JobPipeline(OutputPlacement& placement, Services services)
    : placement_(placement), services_(std::move(services))
{
}

int JobPipeline::effortLevel(const QString& presetText)
{
    if (presetText == QLatin1String("lossless"))
        return 2;
    if (presetText == QLatin1String("maximum"))
        return 5;
    return 3;
}

QCoro::Task<> JobPipeline::processJob(OptimizationJob::Ptr job, BatchSettings settings, CancellationFlag cancel)
{
    if (cancel.isCancelled()) {
        job->cancel();
        co_return;
    }
    job->setBatchCancel(cancel);
    // Named: g++ 12 mishandles temporaries inside a co_await expression.
    auto read = [path = job->fileURL().toLocalFile(), exporting = settings.exporting()] {
        return readSource(path, exporting);
    };
    const Source source = co_await BackgroundTask::run(read);
    const Run run{job, std::move(settings), cancel, source.record, source.identity};
    if (source.locking == FileLock::Outcome::heldElsewhere) {
        job->fail(OptimizationError::fileAccess(
            QCoreApplication::translate("JobPipeline", "Left alone: it is being optimized by another Pressly Pro")));
        co_return;
    }
    if (source.locking == FileLock::Outcome::missing) {
        job->fail(OptimizationError::fileAccess(
            QCoreApplication::translate("JobPipeline", "Left alone: it was moved or deleted after it was added")));
        co_return;
    }
    if (!run.source) {
        job->fail(OptimizationError::fileAccess(QCoreApplication::translate("JobPipeline", "Could not read file")));
        co_return;
    }
    // The user agreed to replace what was there when it was added. Another
    // version (another run's result, an edit, a file still being written)
    // is not ours to replace, and would be a second lossy generation.
    if (changedSinceAdded(*job, source.identity)) {
        job->fail(OptimizationError::fileAccess(QCoreApplication::translate(
            "JobPipeline", "Left alone: it changed after it was added (add it again to optimize it as it is now)")));
        co_return;
    }
    if (co_await ImageSizeGuard::refuses(job, run.source))
        co_return;
    const QString& preset = run.settings.preset;
    const qint64 settingsHash = ResultsCache::settingsHash(preset);
    if (co_await answerFromCache(run, settingsHash))
        co_return;

    auto workers = services_.makeWorkers(run.source->fileType, effortLevel(preset), compressionPresetFromString(preset),
                                         job);
    if (workers.empty()) {
        job->fail(OptimizationError::unsupportedFileType(
            QCoreApplication::translate("JobPipeline", "No optimization tools available for this format")));
        co_return;
    }
    const IOFile::Ptr toolInput = co_await privateCopy(job, run.source);
    if (!toolInput) {
        job->fail(OptimizationError::tempFile(
            QCoreApplication::translate("JobPipeline", "Could not make a working copy of the file")));
        WorkingFilesManager::shared().releaseJob(JobWorkingFiles::key(*job));
        co_return;
    }
    // What counts as smaller, and as saved, is measured against the bytes the
    // tools start from, not the size the file had when it was added.
    job->setOriginalSize(toolInput->byteSize);
    job->setStatus(JobStatus::processing);
    const std::vector<OptimizationWorker::Ptr> tools = workers; // asked afterwards what they did
    const bool lossless = preset == QLatin1String("lossless");
    auto verdicts = std::make_shared<Verdicts>();
    // A rejected result makes way for the next smallest one.
    Services::Vetting vet = [this, job, record = run.source, tools, lossless, verdicts](WorkerResult candidate) {
        return vetResult(job, record, tools, lossless, verdicts, std::move(candidate));
    };
    const auto result = co_await services_.runCompetition(std::move(workers), job, toolInput, cancel, std::move(vet));

    const QStringList pixelChanging = lossless ? QStringList() : OutputVerifier::pixelChangingTools(tools);
    verdicts->toolsRan = std::any_of(tools.cbegin(), tools.cend(), [](const auto& tool) { return !tool->declined(); });
    const Ending ending = co_await finishJob(run, result, pixelChanging, *verdicts);
    // A cancel stops the tools: what they left is no verdict for the cache to keep.
    if (shouldStore(ending, run.settings) && !cancel.isCancelled())
        co_await services_.store(job->fileURL(), settingsHash, job->originalSize(), ending.optimizedSize,
                                 ending.bestTool);
    // Whatever the outcome, no temporary file of this job outlives it.
    WorkingFilesManager::shared().releaseJob(JobWorkingFiles::key(*job));
}

JobPipeline::Source JobPipeline::readSource(const QString& path, bool exporting)
{
    // Another program replacing the file (another run placing its result)
    // leaves its name empty for a moment: a file missing only briefly is
    // still there, in the version that program placed.
    Source source;
    for (const int pause : {0, 10, 30, 100, 250}) {
        QThread::msleep(pause);
        source.lock = FileLock::take(path, exporting, &source.locking);
        if (source.locking != FileLock::Outcome::missing)
            break;
    }
    // The identity is taken before the read, so any later change of the file shows.
    source.identity = FileOperations::identityOf(path);
    source.record = IOFile::read(QUrl::fromLocalFile(path));
    return source;
}

bool JobPipeline::changedSinceAdded(const OptimizationJob& job, const SourceIdentity& now)
{
    return job.addedVersion() && now && !now->sameAfterMove(*job.addedVersion());
}

bool JobPipeline::stopped(const Run& run)
{
    if (!run.cancel.isCancelled())
        return false;
    run.job->cancel();
    return true;
}

// Tools start from a copy of ours, registered as the job's working file: a
// tool that deletes or rewrites its input never reaches the user's file.
QCoro::Task<IOFile::Ptr> JobPipeline::privateCopy(OptimizationJob::Ptr job, IOFile::Ptr source)
{
    const QString suffix = QFileInfo(source->localPath()).suffix();
    const QString from = source->localPath();
    // Our folder is checked here, off the event loop, once per job: a cleaner
    // of the temporary directory may have removed it since the last one.
    const auto copyFile = [from, suffix]() -> IOFile::Ptr {
        if (TemporaryFiles::directory().isEmpty())
            return nullptr;
        const QUrl copy = TemporaryFiles::makeURL(QStringLiteral("source"),
                                                  suffix.isEmpty() ? QStringLiteral("temp") : suffix);
        if (QFile::copy(from, copy.toLocalFile()))
            return IOFile::read(copy);
        TemporaryFiles::removeIfOurs(copy.toLocalFile());
        return nullptr;
    };
    const IOFile::Ptr record = co_await BackgroundTask::run(copyFile);
    if (!record || record->fileType != source->fileType) {
        if (record)
            TemporaryFiles::removeLater(record->localPath());
        co_return IOFile::Ptr();
    }
    WorkingFilesManager::shared().setWorkingFile(record->path, JobWorkingFiles::key(*job), record);
    co_return record;
}

QCoro::Task<bool> JobPipeline::answerFromCache(const Run& run, qint64 settingsHash)
{
    if (run.settings.exporting())
        co_return false;
    const OptimizationJob::Ptr& job = run.job;
    const auto cached = co_await services_.lookup(job->fileURL(), settingsHash);
    if (!cached || stopped(run))
        co_return bool(cached);
    job->setSkippedByCache(true);
    job->complete(cached->optimizedSize, cached->toolName + QStringLiteral(" (cached)"), std::nullopt);
    co_return true;
}

// Only a verified file takes the original's place; a rejected winner leaves
// the job as if its tool had produced nothing.
QCoro::Task<JobPipeline::Ending> JobPipeline::finishJob(const Run& run, std::optional<WorkerResult> result,
                                                        QStringList pixelChangingTools, Verdicts verdicts)
{
    const OptimizationJob::Ptr& job = run.job;
    const IOFile::Ptr& source = run.source;
    if (stopped(run))
        co_return Ending{};
    QList<QUrl>& rejected = verdicts.rejected;
    if (result && result->fileSize < job->originalSize() && !rejected.contains(result->fileURL)) {
        bool accepted = verdicts.accepted.contains(result->fileURL);
        if (!accepted)
            accepted = co_await passesVerification(*job, source, result->fileURL, result->toolName, pixelChangingTools);
        if (stopped(run))
            co_return Ending{};
        if (accepted) {
            const Ending placed = co_await placeWinner(run, *result);
            co_return placed;
        }
        rejected.append(result->fileURL);
    }
    const auto registered = WorkingFilesManager::shared().workingFile(JobWorkingFiles::key(*job));
    const IOFile::Ptr working = co_await readRecord(registered.value_or(job->fileURL()));
    if (!working) {
        job->fail(
            OptimizationError::fileAccess(QCoreApplication::translate("JobPipeline", "No optimized file available")));
        co_return Ending{};
    }
    if (working->byteSize < job->originalSize() && !rejected.contains(working->path)
        && co_await passesVerification(*job, source, working->path, toolOf(*job, working->byteSize),
                                       pixelChangingTools)) {
        if (stopped(run))
            co_return Ending{};
        const Ending placed = co_await placeWorkingFile(run, working);
        co_return placed;
    }
    // Nothing gained: a damaged image is a failure to report, not a file
    // that is already as small as it gets. A file every tool declined was
    // never meant to change; decoding it would only cost time.
    std::optional<OptimizationError> damage;
    if (verdicts.toolsRan)
        damage = co_await damageOf(source);
    if (damage) {
        job->fail(*damage);
        co_return Ending{};
    }
    if (stopped(run))
        co_return Ending{};
    const Ending kept = co_await keepOriginal(run);
    co_return kept;
}

QCoro::Task<IOFile::Ptr> JobPipeline::readRecord(QUrl file)
{
    auto read = [file] { return IOFile::read(file); };
    IOFile::Ptr record = co_await BackgroundTask::run(read);
    co_return record;
}

QCoro::Task<std::optional<OptimizationError>> JobPipeline::place(const Run& run, QString outputPath)
{
    const OptimizationJob::Ptr& job = run.job;
    struct Placed {
        std::optional<OptimizationError> error;
        std::optional<QUrl> revertURL;
        std::optional<QUrl> exportedURL;
    };
    auto work = [&placement = placement_, target = run.settings, job, outputPath, sourceAsRead = run.sourceAsRead] {
        Placed placed;
        placed.error = placement.placeOutput(target, *job, outputPath, sourceAsRead, &placed.revertURL,
                                             &placed.exportedURL);
        return placed;
    };
    const Placed placed = co_await BackgroundTask::run(work);
    if (placed.revertURL)
        job->setRevertURL(placed.revertURL);
    if (placed.exportedURL)
        job->setExportedURL(placed.exportedURL);
    co_return placed.error;
}

QCoro::Task<std::optional<OptimizationError>> JobPipeline::damageOf(IOFile::Ptr source)
{
    if (source->fileType == IOFileType::svg || source->fileType == IOFileType::dng)
        co_return std::nullopt;
    auto inspect = [path = source->localPath()]() -> std::optional<OptimizationError> {
        // A file taken away meanwhile is gone, not damaged.
        if (!QFileInfo::exists(path))
            return OptimizationError::fileAccess(
                QCoreApplication::translate("JobPipeline", "The file was removed while it was being optimized"));
        QString why;
        // Every pixel is decoded: it waits for a large re-encode or comparison to end.
        const auto shown = ImageInspector::describe(path, &why);
        const PixelBudget::Lease lease = shown ? PixelBudget::shared().acquire(qint64(shown->width) * shown->height
                                                                               * shown->frames)
                                               : PixelBudget::Lease();
        if (ImageInspector::inspect(path, &why).has_value() || why == ImageInspector::tooLargeReason())
            return std::nullopt;
        return OptimizationError::fileAccess(
            QCoreApplication::translate("JobPipeline", "The image is damaged or incomplete (%1)").arg(why));
    };
    auto damage = co_await BackgroundTask::run(inspect);
    co_return damage;
}

QCoro::Task<bool> JobPipeline::passesVerification(const OptimizationJob& job, IOFile::Ptr source, QUrl candidate,
                                                  QString toolName, QStringList pixelChangingTools)
{
    const bool samePixels = OutputVerifier::needsSamePixels(toolName, pixelChangingTools);
    const auto verdict = co_await OutputVerifier::verifyOffThread(source->localPath(), source->fileType,
                                                                  candidate.toLocalFile(), samePixels);
    if (!verdict.accepted)
        qCWarning(lcJobs).noquote() << QStringLiteral("Verification rejected the output of %1 for %2: %3")
                                           .arg(toolName, job.fileName(), verdict.reason);
    co_return verdict.accepted;
}

QCoro::Task<bool> JobPipeline::vetResult(OptimizationJob::Ptr job, IOFile::Ptr source,
                                         std::vector<OptimizationWorker::Ptr> tools, bool lossless,
                                         std::shared_ptr<Verdicts> verdicts, WorkerResult candidate)
{
    // Asked now: a tool may have fallen back to a re-encode while it ran.
    const QStringList pixelChanging = lossless ? QStringList() : OutputVerifier::pixelChangingTools(tools);
    const bool accepted = co_await passesVerification(*job, source, candidate.fileURL, candidate.toolName,
                                                      pixelChanging);
    (accepted ? verdicts->accepted : verdicts->rejected).append(candidate.fileURL);
    co_return accepted;
}

QCoro::Task<JobPipeline::Ending> JobPipeline::placeWinner(const Run& run, WorkerResult result)
{
    const OptimizationJob::Ptr& job = run.job;
    // An output that cannot be read back is no winner: the source must never
    // be placed as if it were the result.
    const IOFile::Ptr record = co_await readRecord(result.fileURL);
    if (!record || record->byteSize != result.fileSize) {
        const Ending kept = co_await keepOriginal(run);
        co_return kept;
    }
    if (const auto error = co_await place(run, record->localPath())) {
        failPlacement(*job, *error);
        co_return Ending{};
    }
    job->complete(result.fileSize, result.toolName, result.fileURL);
    const qint64 saved = job->originalSize() - result.fileSize;
    qCInfo(lcResults).noquote() << QStringLiteral("Optimized %1 with %2: saved %3 bytes (%4%)")
                                       .arg(job->fileName(), result.toolName, QString::number(saved),
                                            QString::asprintf("%.1f",
                                                              double(saved) / double(job->originalSize()) * 100.0));
    co_return Ending{true, false, result.fileSize, result.toolName};
}

QCoro::Task<JobPipeline::Ending> JobPipeline::placeWorkingFile(const Run& run, IOFile::Ptr record)
{
    const OptimizationJob::Ptr& job = run.job;
    if (const auto error = co_await place(run, record->localPath())) {
        failPlacement(*job, *error);
        co_return Ending{};
    }
    const QString tool = toolOf(*job, record->byteSize);
    job->complete(record->byteSize, tool, record->path);
    co_return Ending{true, false, record->byteSize, tool};
}

void JobPipeline::failPlacement(OptimizationJob& job, const OptimizationError& error)
{
    // The reason goes with the job: a report without it cannot be acted on.
    qCWarning(lcJobs).noquote()
        << QStringLiteral("Could not save %1: %2").arg(job.fileName(), error.errorDescription());
    job.fail(OptimizationError::fileAccess(
        QCoreApplication::translate("JobPipeline", "Could not save optimized file: %1").arg(error.message())));
}

QCoro::Task<JobPipeline::Ending> JobPipeline::keepOriginal(const Run& run)
{
    const OptimizationJob::Ptr& job = run.job;
    // An export folder without the file is a failed job, not a completed one.
    const BatchSettings& target = run.settings;
    if (target.exporting()) {
        auto exportCopy = [&placement = placement_, target, job] { return placement.exportOriginalCopy(target, *job); };
        if (const auto error = co_await BackgroundTask::run(exportCopy)) {
            qCWarning(lcJobs).noquote() << QStringLiteral("Could not export unoptimized file %1: %2")
                                               .arg(job->fileName(), error->errorDescription());
            job->fail(OptimizationError::fileAccess(
                QCoreApplication::translate("JobPipeline", "Could not export unoptimized file: %1")
                    .arg(error->message())));
            co_return Ending{};
        }
    }
    const QString label = QStringLiteral("No optimization");
    job->complete(job->originalSize(), label, std::nullopt);
    co_return Ending{true, true, job->originalSize(), label};
}

// The tool whose result has this size, else the job's best tool, else "Pressly".
QString JobPipeline::toolOf(const OptimizationJob& job, qint64 size)
{
    for (auto it = job.workerResults.cbegin(); it != job.workerResults.cend(); ++it)
        if (it.value() == size)
            return it.key();
    return job.bestTool().value_or(QStringLiteral("Pressly"));
}

bool JobPipeline::shouldStore(const Ending& ending, const BatchSettings& settings)
{
    if (!ending.completed)
        return false;
    // In export mode the source stays as it was, so only "nothing to gain"
    // describes it; a later in-place run must still optimize it otherwise.
    if (settings.exporting())
        return ending.nothingGained;
    return true;
}
