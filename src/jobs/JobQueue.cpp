// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/JobQueue.h"

#include "jobs/Configuration.h"
#include "jobs/FileOperations.h"
#include "jobs/ImageFileCollector.h"
#include "jobs/OutputPlacement.h"
#include "jobs/PipelineServices.h"
#include "platform/BackgroundTask.h"
#include "platform/ByteCountFormatter.h"
#include "platform/DockBadge.h"
#include "platform/EventLoop.h"
#include "platform/Log.h"
#include "scheduler/WorkerScheduler.h"
#include "store/StatisticsTracker.h"
#include "workers/IOFile.h"
#include "workers/JobWorkingFiles.h"
#include "workers/RunningTools.h"
#include "workers/TemporaryFiles.h"
#include "workers/ToolSession.h"
#include "workers/WorkingFilesManager.h"

#include <QCoreApplication>
#include <QCoroFuture>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSemaphore>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <exception>
#include <utility>

namespace {
// A group's turn on the event loop, its views' updates included, stays under
// this, so the window still draws between groups.
constexpr qint64 groupTurnBudgetNs = 8'000'000;
constexpr int firstGroupSize = 64;
constexpr int largestGroupSize = 256;
constexpr int smallestGroupSize = 16;

// As many jobs as the last turn's cost per job says fit in the budget.
int nextGroupSize(qsizetype lastSize, qint64 lastTurnNs)
{
    const qint64 perJob = std::max<qint64>(1, lastTurnNs / std::max<qsizetype>(1, lastSize));
    return int(std::clamp<qint64>(groupTurnBudgetNs / perJob, smallestGroupSize, largestGroupSize));
}
} // namespace

// One batch: its cancellation flag, its own running children, its start and
// the tool processes its runs share, which end with it.
struct JobQueue::Batch {
    CancellationFlag cancel;
    int running = 0;
    QDateTime startTime = QDateTime::currentDateTimeUtc();
    std::unique_ptr<ToolSession> tools;
    // Jobs it started, and jobs that failed at intake while it looked: its record counts these only.
    QList<OptimizationJob::Ptr> jobs;
};

JobQueue::JobQueue(Configuration& configuration, std::optional<int> maxConcurrentJobs,
                   std::optional<JobPipeline::Services> services, QObject* parent)
    : QObject(parent), configuration_(configuration),
      maxConcurrentJobs_(std::max(1, maxConcurrentJobs.value_or(QThread::idealThreadCount()))),
      scheduler_(std::make_unique<WorkerScheduler>()), placement_(std::make_unique<OutputPlacement>(configuration))
{
    pipeline_ = std::make_unique<JobPipeline>(*placement_, services ? *services : PipelineServices::make(*scheduler_));
}

JobQueue::~JobQueue()
{
    // Running pipelines and intakes refer to this queue; none may outlive it.
    if ((batchesAlive_ > 0 || intakes_ > 0) && QCoreApplication::instance())
        QCoro::waitFor(shutdown());
}

QList<OptimizationJob::Ptr> JobQueue::completedJobs() const
{
    QList<OptimizationJob::Ptr> result;
    for (const auto& job : jobs_)
        if (job->status() == JobStatus::completed)
            result.append(job);
    return result;
}

QList<OptimizationJob::Ptr> JobQueue::failedJobs() const
{
    QList<OptimizationJob::Ptr> result;
    for (const auto& job : jobs_)
        if (job->status() == JobStatus::failed)
            result.append(job);
    return result;
}

QList<OptimizationJob::Ptr> JobQueue::processingJobs() const
{
    QList<OptimizationJob::Ptr> result;
    for (const auto& job : jobs_)
        if (job->status() == JobStatus::processing)
            result.append(job);
    return result;
}

bool JobQueue::savedBytes(const OptimizationJob& job)
{
    if (job.status() != JobStatus::completed || !job.optimizedSize() || job.originalSize() < 1 || job.isRestored())
        return false;
    return 1.0 - double(*job.optimizedSize()) / double(job.originalSize()) > 0.0;
}

qint64 JobQueue::savingInBytes(const OptimizationJob& job)
{
    return job.isRestored() ? 0 : job.bytesSaved();
}

double JobQueue::averageSavings() const
{
    double sum = 0.0;
    int count = 0;
    for (const auto& job : jobs_) {
        if (!savedBytes(*job))
            continue;
        sum += 1.0 - double(*job->optimizedSize()) / double(job->originalSize());
        ++count;
    }
    return count ? sum / count : 0.0;
}

JobQueue::Intake JobQueue::makeJob(const QUrl& fileURL, QThread* home, Configuration::OperationMode mode)
{
    const QString path = fileURL.toLocalFile();
    Intake found{fileURL, nullptr, FileOperations::resolvedPath(path), FileOperations::isSymbolicLink(path), nullptr};
    if (found.isLink && found.realPath.isEmpty())
        found.job = OptimizationJob::createFailed(
            fileURL, OptimizationError::fileAccess(
                         QCoreApplication::translate("JobQueue", "“%1” is a link to “%2”, which can’t be found")
                             .arg(fileURL.fileName(), QFileInfo(path).symLinkTarget())));
    else // the job works on the file itself, so the link stays as it is
        found.job = jobFor(found.isLink ? QUrl::fromLocalFile(found.realPath) : fileURL, mode);
    found.job->moveToThread(home);
    return found;
}

bool JobQueue::admit(const Intake& found)
{
    if (found.realPath.isEmpty())
        return true;
    const auto earlier = jobByRealPath_.value(found.realPath);
    const bool unfinished = earlier
                            && (earlier->status() == JobStatus::pending || earlier->status() == JobStatus::processing);
    if (unfinished && (found.isLink || reachedByLink_.contains(found.realPath))) {
        qCInfo(lcJobs).noquote()
            << QStringLiteral("Skipped %1: %2 is already in the queue").arg(found.given.toLocalFile(), found.realPath);
        return false;
    }
    jobByRealPath_.insert(found.realPath, found.job);
    if (found.isLink)
        reachedByLink_.insert(found.realPath);
    return true;
}

OptimizationJob::Ptr JobQueue::jobFor(const QUrl& fileURL, Configuration::OperationMode mode)
{
    const QFileInfo info(fileURL.toLocalFile());
    if (info.exists() && !info.isFile())
        return OptimizationJob::createFailed(
            fileURL,
            OptimizationError::fileAccess(
                QCoreApplication::translate("JobQueue", "“%1” is not a regular file").arg(fileURL.fileName())));
    QFile file(fileURL.toLocalFile());
    if (!file.open(QIODevice::ReadOnly))
        return OptimizationJob::createFailed(
            fileURL, OptimizationError::fileAccess(
                         QCoreApplication::translate("JobQueue", "The file “%1” couldn’t be opened: %2")
                             .arg(fileURL.fileName(), file.errorString())));
    if (!IOFile::read(fileURL))
        return OptimizationJob::createFailed(
            fileURL,
            OptimizationError::unsupportedFileType(QCoreApplication::translate("JobQueue", "Unsupported file type")));
    const qint64 names = FileOperations::nameCount(fileURL.toLocalFile());
    if (names > 1 && mode == Configuration::OperationMode::optimizeOriginals)
        return OptimizationJob::createFailed(
            fileURL,
            OptimizationError::fileAccess(QCoreApplication::translate("JobQueue", "“%1” was left as it is: %2")
                                              .arg(fileURL.fileName(), FileOperations::hardLinkReason(names))));
    std::optional<OptimizationError> error;
    auto job = OptimizationJob::create(fileURL, &error);
    return job ? job : OptimizationJob::createFailed(fileURL, *error);
}

QCoro::Task<> JobQueue::addFile(QUrl fileURL)
{
    const QList<QUrl> items{fileURL};
    co_await intake(items, false);
}

void JobQueue::addFiles(const QList<QUrl>& fileURLs)
{
    intake(fileURLs, false); // runs on by itself; waitUntilIdle waits for it
}

void JobQueue::addFiles(const QList<QUrl>& fileURLs, const BatchSettings& settings)
{
    intake(fileURLs, false, std::make_shared<const BatchSettings>(settings));
}

QCoro::Task<> JobQueue::addItems(QList<QUrl> items)
{
    co_await intake(std::move(items), true);
}

BatchSettings JobQueue::currentSettings() const
{
    BatchSettings settings = placement_->target();
    settings.preset = pipeline_->services().presetText();
    return settings;
}

// One intake at a time, so jobs join in the order their files were given.
QCoro::Task<> JobQueue::intake(QList<QUrl> items, bool walkFolders, std::shared_ptr<const BatchSettings> given)
{
    // Taken now, when the drop is confirmed, not when its files are reached.
    const auto settings = given ? given : std::make_shared<const BatchSettings>(currentSettings());
    ++intakes_;
    // Tickets, not a flag: waiters wake together, and only the next in line may go.
    const quint64 ticket = nextIntakeTicket_++;
    while (ticket != servedIntakeTicket_)
        co_await intakeEnded_.wait();
    // After a cancel, the rest of a drop joins the list without starting a batch.
    const int cancellations = cancellations_;
    auto work = [this, items, walkFolders, cancellations, home = thread(), settings, stop = intakeStop_.get_token()] {
        QList<Intake> made;
        QElapsedTimer sincePost;
        sincePost.start();
        const auto taken = std::make_shared<QSemaphore>();
        // Set by the loop after each turn, read here for the next group.
        const auto groupSize = std::make_shared<std::atomic_int>(firstGroupSize);
        const auto post = [this, &made, &sincePost, cancellations, &stop, taken, groupSize] {
            if (made.isEmpty())
                return;
            QMetaObject::invokeMethod(
                this,
                [this, jobs = std::exchange(made, {}), cancellations, taken, groupSize] {
                    QElapsedTimer turn;
                    turn.start();
                    appendJobs(jobs, cancellations);
                    groupSize->store(nextGroupSize(jobs.size(), turn.nsecsElapsed()));
                    taken->release();
                },
                Qt::QueuedConnection);
            // One group at a time waits for the loop: groups piled up would all
            // be taken in one turn, and the window could not draw meanwhile.
            while (!taken->tryAcquire(1, 50) && !stop.stop_requested()) { }
            sincePost.restart();
        };
        const auto onFound = [&](const QUrl& url) {
            if (stop.stop_requested())
                return false;
            made.append(makeJob(url, home, settings->mode));
            made.last().settings = settings;
            // Groups keep each loop turn short; the clock keeps a slow disk's first jobs from waiting.
            if (made.size() >= groupSize->load() || sincePost.elapsed() >= 50)
                post();
            return true;
        };
        if (walkFolders)
            ImageFileCollector::collectImageURLs(items, onFound);
        else
            for (const QUrl& url : items)
                if (!onFound(url))
                    break;
        post();
    };
    co_await BackgroundTask::run(work);
    // The last group is delivered before the intake counts as done.
    co_await EventLoop::afterPostedEvents();
    ++servedIntakeTicket_;
    --intakes_;
    intakeEnded_.notifyAll();
    childEnded_.notifyAll();
    batchEnded_.notifyAll();
}

void JobQueue::appendJobs(const QList<Intake>& found, int cancellationsAtIntake)
{
    const int first = int(jobs_.size());
    for (const auto& item : found) {
        if (!admit(item))
            continue;
        jobs_.append(item.job);
        settingsOf_.insert(item.job->id(), item.settings);
        const OptimizationJob* job = item.job.get();
        connect(job, &OptimizationJob::isRestoredChanged, this, [this, job] { withdrawRestored(*job); });
    }
    if (jobs_.size() > first)
        emit jobsAdded(first, int(jobs_.size()) - 1);
    if (!isProcessing_ && cancellationsAtIntake == cancellations_)
        startProcessing();
    else
        childEnded_.notifyAll(); // the batch looks for them at once
}

void JobQueue::startProcessing()
{
    if (isProcessing_ || shutDown_)
        return;
    auto batch = std::make_shared<Batch>();
    batch->tools = std::make_unique<ToolSession>(maxConcurrentJobs_);
    currentBatch_ = batch;
    ++batchesAlive_;
    setProcessing(true);
    DockBadge::shared().setLabel(QString());
    processQueue(batch); // runs on by itself; its end is announced by batchFinished
}

void JobQueue::cancelProcessing()
{
    ++cancellations_;
    if (currentBatch_)
        currentBatch_->cancel.cancel();
    // Any tool running now serves this batch or an older, cancelled one.
    RunningTools::shared().stopAll(QCoreApplication::translate("JobQueue", "Stopped because the batch was cancelled"));
    setProcessing(false);
}

void JobQueue::resumeStopped()
{
    for (qsizetype index = 0; index < jobs_.size(); ++index) {
        const auto& job = jobs_[index];
        if (job->status() != JobStatus::cancelled)
            continue;
        job->setStatus(JobStatus::pending);
        started_.remove(job->id());
        nextIndex_ = std::min(nextIndex_, index);
    }
    startProcessing();
}

void JobQueue::disableResultsCache()
{
    auto& services = pipeline_->services();
    services.lookup = [](QUrl, qint64) -> QCoro::Task<std::optional<JobPipeline::CachedResult>> {
        co_return std::nullopt;
    };
    services.store = [](QUrl, qint64, qint64, qint64, QString) -> QCoro::Task<> { co_return; };
}

QCoro::Task<> JobQueue::waitUntilIdle()
{
    while (batchesAlive_ > 0 || intakes_ > 0)
        co_await batchEnded_.wait();
    // Ended jobs delete their files off this thread: idle means they are gone.
    co_await TemporaryFiles::removalsDone();
}

QList<OptimizationJob::Ptr> JobQueue::takeFinishedJobs()
{
    QList<OptimizationJob::Ptr> taken;
    if (batchesAlive_ > 0)
        return taken;
    QList<OptimizationJob::Ptr> kept;
    const qsizetype looked = nextIndex_;
    for (qsizetype index = 0; index < jobs_.size(); ++index) {
        const auto& job = jobs_[index];
        // Only what a batch has recorded in the statistics may go.
        const bool ended = job->status() == JobStatus::completed || job->status() == JobStatus::failed;
        if (index >= looked || !ended || !countedAllTime_.contains(job->id())) {
            kept.append(job);
            continue;
        }
        taken.append(job);
        --nextIndex_;
        started_.remove(job->id());
        countedAllTime_.remove(job->id());
        settingsOf_.remove(job->id());
        disconnect(job.get(), nullptr, this, nullptr);
    }
    jobs_ = std::move(kept);
    QSet<const OptimizationJob*> gone;
    for (const auto& job : taken)
        gone.insert(job.get());
    // The last batch's own list would keep them alive too.
    currentBatch_.reset();
    for (auto it = jobByRealPath_.begin(); it != jobByRealPath_.end();) {
        if (!gone.contains(it.value().get())) {
            ++it;
            continue;
        }
        reachedByLink_.remove(it.key());
        it = jobByRealPath_.erase(it);
    }
    return taken;
}

QCoro::Task<> JobQueue::shutdown()
{
    shutDown_ = true;
    intakeStop_.request_stop();
    cancelProcessing();
    co_await waitUntilIdle();
}

QCoro::Task<> JobQueue::processQueue(std::shared_ptr<Batch> batch)
{
    // Files still joining belong to this batch: one drop, one session.
    while (!batch->cancel.isCancelled() && (startNextJobs(batch) || intakes_ > 0))
        co_await childEnded_.wait();
    while (batch->running > 0)
        co_await childEnded_.wait();
    finishBatch(*batch);
}

// Starts pending jobs in list order up to the limit. Answers whether to wait
// for a child before looking again. Jobs
// before nextIndex_ are all started or final, so each job is looked at once.
bool JobQueue::startNextJobs(const std::shared_ptr<Batch>& batch)
{
    while (nextIndex_ < jobs_.size() && runningChildren_ < maxConcurrentJobs_) {
        const auto job = jobs_[nextIndex_++];
        if (isFinal(job->status()) && !started_.contains(job->id())) {
            started_.insert(job->id()); // failed at intake: recorded once
            batch->jobs.append(job);
        }
        // A job is started once, by one batch, even while it still shows pending.
        if (job->status() != JobStatus::pending || started_.contains(job->id()))
            continue;
        started_.insert(job->id());
        batch->jobs.append(job);
        ++batch->running;
        ++runningChildren_;
        runChild(batch, job);
    }
    // Wait while this batch runs something, or while an older batch's children
    // still hold the slots that its pending jobs need.
    const bool blocked = nextIndex_ < jobs_.size() && runningChildren_ >= maxConcurrentJobs_;
    return batch->running > 0 || blocked;
}

QCoro::Task<> JobQueue::runChild(std::shared_ptr<Batch> batch, OptimizationJob::Ptr job)
{
    // A fault inside one pipeline ends that job only; the batch counts on.
    QString fault;
    try {
        co_await pipeline_->processJob(job, *settingsOf_.value(job->id()), batch->cancel);
    } catch (const std::exception& error) {
        fault = QString::fromLocal8Bit(error.what());
    } catch (...) {
        fault = QStringLiteral("unknown error");
    }
    if (!fault.isNull()) {
        qCWarning(lcJobs).noquote() << QStringLiteral("Optimizing %1 stopped: %2").arg(job->fileName(), fault);
        job->fail(OptimizationError::platform(
            QCoreApplication::translate("JobQueue", "An unexpected error stopped the optimization.")));
        WorkingFilesManager::shared().releaseJob(JobWorkingFiles::key(*job));
    }
    // The job's final state is applied before it counts as finished.
    co_await EventLoop::afterPostedEvents();
    --batch->running;
    --runningChildren_;
    childEnded_.notifyAll();
}

void JobQueue::finishBatch(Batch& batch)
{
    batch.tools.reset();
    // An older, cancelled batch must not end a newer one.
    if (currentBatch_.get() == &batch)
        setProcessing(false);
    updateTotals();
    recordBatch(batch);
    --batchesAlive_;
    batchEnded_.notifyAll();
    emit batchFinished();
}

void JobQueue::setProcessing(bool processing)
{
    if (isProcessing_ == processing)
        return;
    isProcessing_ = processing;
    emit isProcessingChanged();
}

void JobQueue::updateTotals()
{
    totalFilesProcessed_ = 0;
    totalFilesOptimized_ = 0;
    totalBytesSaved_ = 0;
    for (const auto& job : jobs_) {
        if (job->status() == JobStatus::failed)
            ++totalFilesProcessed_;
        if (job->status() != JobStatus::completed)
            continue;
        ++totalFilesProcessed_;
        totalBytesSaved_ += savingInBytes(*job);
        if (savedBytes(*job))
            ++totalFilesOptimized_;
    }
    emit totalsChanged();
    updateBadge();
}

// The batch's new figures and its session go to the store in one step.
void JobQueue::recordBatch(const Batch& batch)
{
    qint64 processed = 0, optimized = 0, saved = 0;
    for (const auto& job : jobs_) {
        // A failed file was a photo of the batch too, as its session and the queue's total count it.
        const bool finished = job->status() == JobStatus::completed || job->status() == JobStatus::failed;
        if (!finished || countedAllTime_.contains(job->id()))
            continue;
        countedAllTime_.insert(job->id());
        ++processed;
        if (const qint64 saving = savedBytes(*job) ? savingInBytes(*job) : 0; saving > 0) {
            ++optimized;
            saved += saving;
        }
    }
    const std::optional<SessionRecord> session = sessionOf(batch);
    if (processed > 0 || session)
        StatisticsTracker::shared().addFiles(processed, optimized, saved, session);
}

// The saving counted for the job is taken back, where it was counted.
void JobQueue::withdrawRestored(const OptimizationJob& job)
{
    if (!job.isRestored() || !job.optimizedSize())
        return;
    if (countedAllTime_.contains(job.id()))
        StatisticsTracker::shared().withdrawFile(job.bytesSaved());
    if (!isProcessing_)
        updateTotals();
}

void JobQueue::updateBadge()
{
    const auto running = processingJobs().size();
    if (running > 0)
        DockBadge::shared().setLabel(QString::number(running));
    else if (totalBytesSaved_ < 1)
        DockBadge::shared().setLabel(QString());
    else
        DockBadge::shared().flash(ByteCountFormatter::format(totalBytesSaved_), 3000);
}

std::optional<SessionRecord> JobQueue::sessionOf(const Batch& batch)
{
    SessionRecord record;
    qint64 completed = 0;
    qint64 failed = 0;
    for (const auto& job : batch.jobs) {
        if (job->status() == JobStatus::failed)
            ++failed;
        if (job->status() != JobStatus::completed)
            continue;
        ++completed;
        record.optimizedCount += savedBytes(*job) ? 1 : 0;
        record.skippedCount += job->isSkippedByCache() ? 1 : 0;
        record.totalOriginalBytes += job->originalSize();
        record.totalSavedBytes += savingInBytes(*job);
    }
    if (completed + failed < 1)
        return std::nullopt;
    record.imageCount = completed + failed;
    record.failedCount = failed;
    record.runtimeSeconds = double(batch.startTime.msecsTo(QDateTime::currentDateTimeUtc())) / 1000.0;
    return record;
}
