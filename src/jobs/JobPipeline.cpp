#include "jobs/JobPipeline.h"

#include "jobs/Configuration.h"
#include "jobs/OutputVerifier.h"
#include "jobs/OutputPlacement.h"
#include "platform/ImageInspector.h"
#include "platform/Log.h"
#include "store/ResultsCache.h"
#include "workers/JobWorkingFiles.h"
#include "workers/TemporaryFiles.h"
#include "workers/WorkingFilesManager.h"

#include <QCoroFuture>
#include <QFile>
#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

JobPipeline::JobPipeline(Configuration& configuration, OutputPlacement& placement, Services services)
    : configuration_(configuration), placement_(placement), services_(std::move(services))
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

QCoro::Task<> JobPipeline::processJob(OptimizationJob::Ptr job, CancellationFlag cancel)
{
    if (cancel.isCancelled()) {
        job->cancel();
        co_return;
    }
    // Taken before the read, so any later change of the file shows.
    const SourceIdentity sourceAsRead = FileOperations::identityOf(job->fileURL().toLocalFile());
    const IOFile::Ptr record = IOFile::read(job->fileURL());
    if (!record) {
        job->fail(OptimizationError::fileAccess(QStringLiteral("Could not read file")));
        co_return;
    }
    const QString preset = services_.presetText();
    const qint64 settingsHash = ResultsCache::settingsHash(preset);
    if (co_await answerFromCache(job, settingsHash))
        co_return;

    auto workers = services_.makeWorkers(record->fileType, effortLevel(preset), job);
    if (workers.empty()) {
        job->fail(OptimizationError::unsupportedFileType(
            QStringLiteral("No optimization tools available for this format")));
        co_return;
    }
    const IOFile::Ptr toolInput = co_await privateCopy(job, record);
    if (!toolInput) {
        job->fail(OptimizationError::tempFile(QStringLiteral("Could not make a working copy of the file")));
        WorkingFilesManager::shared().releaseJob(JobWorkingFiles::key(*job));
        co_return;
    }
    job->setStatus(JobStatus::processing);
    const auto result = co_await services_.runCompetition(std::move(workers), job, toolInput, cancel);

    const bool lossless = preset == QLatin1String("lossless");
    const Ending ending = co_await finishJob(job, result, record, sourceAsRead, lossless);
    if (shouldStore(ending))
        co_await services_.store(job->fileURL(), settingsHash, job->originalSize(), ending.optimizedSize,
                                 ending.bestTool);
    // Whatever the outcome, no temporary file of this job outlives it.
    WorkingFilesManager::shared().releaseJob(JobWorkingFiles::key(*job));
}

// Tools start from a copy of ours, registered as the job's working file: a
// tool that deletes or rewrites its input never reaches the user's file.
QCoro::Task<IOFile::Ptr> JobPipeline::privateCopy(OptimizationJob::Ptr job, IOFile::Ptr source)
{
    const QString suffix = QFileInfo(source->localPath()).suffix();
    const QUrl copy =
        TemporaryFiles::makeURL(QStringLiteral("source"), suffix.isEmpty() ? QStringLiteral("temp") : suffix);
    const QString from = source->localPath();
    const QString to = copy.toLocalFile();
    const auto copyFile = [from, to] { return QFile::copy(from, to); };
    const bool copied = co_await QtConcurrent::run(copyFile);
    const IOFile::Ptr record = copied ? IOFile::read(copy) : nullptr;
    if (!record || record->fileType != source->fileType) {
        TemporaryFiles::removeIfOurs(to);
        co_return IOFile::Ptr();
    }
    WorkingFilesManager::shared().setWorkingFile(copy, JobWorkingFiles::key(*job));
    co_return record;
}

QCoro::Task<bool> JobPipeline::answerFromCache(OptimizationJob::Ptr job, qint64 settingsHash)
{
    if (configuration_.operationMode() != Configuration::OperationMode::optimizeOriginals)
        co_return false;
    const auto cached = co_await services_.lookup(job->fileURL(), settingsHash);
    if (!cached)
        co_return false;
    job->setSkippedByCache(true);
    job->complete(cached->optimizedSize, cached->toolName + QStringLiteral(" (cached)"), std::nullopt);
    co_return true;
}

// Only a verified file takes the original's place; a rejected winner leaves
// the job as if its tool had produced nothing.
QCoro::Task<JobPipeline::Ending> JobPipeline::finishJob(OptimizationJob::Ptr job, std::optional<WorkerResult> result,
                                                        IOFile::Ptr source, SourceIdentity sourceAsRead, bool lossless)
{
    std::optional<QUrl> rejected;
    if (result && result->fileSize < job->originalSize()) {
        if (co_await passesVerification(*job, source, result->fileURL, result->toolName, lossless))
            co_return placeWinner(*job, *result, sourceAsRead);
        rejected = result->fileURL;
    }
    const IOFile::Ptr working = JobWorkingFiles::workingInputFile(*job);
    if (!working) {
        job->fail(OptimizationError::fileAccess(QStringLiteral("No optimized file available")));
        co_return Ending{};
    }
    if (working->byteSize < job->originalSize() && working->path != rejected
        && co_await passesVerification(*job, source, working->path, toolOf(*job, working->byteSize), lossless))
        co_return placeWorkingFile(*job, *working, sourceAsRead);
    // Nothing gained: a damaged image is a failure to report, not a file
    // that is already as small as it gets.
    if (const QString damage = co_await damageOf(source); !damage.isEmpty()) {
        job->fail(OptimizationError::fileAccess(QStringLiteral("The image is damaged or incomplete (%1)").arg(damage)));
        co_return Ending{};
    }
    co_return keepOriginal(*job);
}

QCoro::Task<QString> JobPipeline::damageOf(IOFile::Ptr source)
{
    if (source->fileType == IOFileType::svg || source->fileType == IOFileType::dng)
        co_return QString();
    auto inspect = [path = source->localPath()] {
        QString why;
        const bool decodes = ImageInspector::inspect(path, &why).has_value();
        return decodes || why == ImageInspector::tooLargeReason() ? QString() : why;
    };
    auto damage = co_await QtConcurrent::run(inspect);
    co_return damage;
}

QCoro::Task<bool> JobPipeline::passesVerification(const OptimizationJob& job, IOFile::Ptr source, QUrl candidate,
                                                  QString toolName, bool lossless)
{
    const auto verdict = co_await OutputVerifier::verifyOffThread(source->localPath(), source->fileType,
                                                                  candidate.toLocalFile(), lossless);
    if (!verdict.accepted)
        Log::line(QStringLiteral("❌ Verification rejected the output of %1 for %2: %3")
                      .arg(toolName, job.fileName(), verdict.reason));
    co_return verdict.accepted;
}

JobPipeline::Ending JobPipeline::placeWinner(OptimizationJob& job, const WorkerResult& result,
                                             const SourceIdentity& sourceAsRead)
{
    // An output that cannot be read back is no winner: the source must never
    // be placed as if it were the result.
    const IOFile::Ptr record = IOFile::read(result.fileURL);
    if (!record || record->byteSize != result.fileSize)
        return keepOriginal(job);
    if (const auto error = placement_.placeOutput(job, *record, sourceAsRead)) {
        failPlacement(job, *error);
        return {};
    }
    job.complete(result.fileSize, result.toolName, result.fileURL);
    const qint64 saved = job.originalSize() - result.fileSize;
    Log::line(QStringLiteral("Optimized %1 with %2: saved %3 bytes (%4%)")
                  .arg(job.fileName(), result.toolName)
                  .arg(saved)
                  .arg(QString::asprintf("%.1f", double(saved) / double(job.originalSize()) * 100.0)));
    return {true, false, result.fileSize, result.toolName};
}

JobPipeline::Ending JobPipeline::placeWorkingFile(OptimizationJob& job, const IOFile& record,
                                                  const SourceIdentity& sourceAsRead)
{
    if (const auto error = placement_.placeOutput(job, record, sourceAsRead)) {
        failPlacement(job, *error);
        return {};
    }
    const QString tool = toolOf(job, record.byteSize);
    job.complete(record.byteSize, tool, record.path);
    return {true, false, record.byteSize, tool};
}

void JobPipeline::failPlacement(OptimizationJob& job, const OptimizationError& error)
{
    // The job shows the fixed message; the log keeps the reason.
    Log::line(QStringLiteral("❌ Could not save %1: %2").arg(job.fileName(), error.errorDescription()));
    job.fail(OptimizationError::fileAccess(QStringLiteral("Could not save optimized file")));
}

JobPipeline::Ending JobPipeline::keepOriginal(OptimizationJob& job)
{
    if (configuration_.operationMode() == Configuration::OperationMode::exportToFolder) {
        if (const auto error = placement_.exportOriginalCopy(job))
            Log::line(QStringLiteral("Warning: Could not export unoptimized file %1: %2")
                          .arg(job.fileName(), error->errorDescription()));
    }
    const QString label = QStringLiteral("No optimization");
    job.complete(job.originalSize(), label, std::nullopt);
    return {true, true, job.originalSize(), label};
}

// The tool whose result has this size, else the job's best tool, else "Pressly".
QString JobPipeline::toolOf(const OptimizationJob& job, qint64 size)
{
    for (auto it = job.workerResults.cbegin(); it != job.workerResults.cend(); ++it)
        if (it.value() == size)
            return it.key();
    return job.bestTool().value_or(QStringLiteral("Pressly"));
}

bool JobPipeline::shouldStore(const Ending& ending) const
{
    if (!ending.completed)
        return false;
    // In export mode the source stays as it was, so only "nothing to gain"
    // describes it; a later in-place run must still optimize it otherwise.
    if (configuration_.operationMode() == Configuration::OperationMode::exportToFolder)
        return ending.nothingGained;
    return true;
}
