// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/BatchSettings.h"
#include "jobs/Configuration.h"
#include "jobs/JobPipeline.h"
#include "jobs/OptimizationJob.h"
#include "platform/CancellationFlag.h"
#include "platform/EventLoop.h"
#include "store/SessionRecord.h"

#include <QCoroTask>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QUrl>

#include <memory>
#include <optional>
#include <stop_token>

class Configuration;
class OutputPlacement;
class WorkerScheduler;

// The one queue of the window (or of a command-line run): every job made, in
// order, and the batches that run them several at a time.
class JobQueue : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isProcessing READ isProcessing NOTIFY isProcessingChanged)
    Q_PROPERTY(qint64 totalBytesSaved READ totalBytesSaved NOTIFY totalsChanged)
    Q_PROPERTY(int totalFilesProcessed READ totalFilesProcessed NOTIFY totalsChanged)
    Q_PROPERTY(int totalFilesOptimized READ totalFilesOptimized NOTIFY totalsChanged)
    Q_PROPERTY(int jobCount READ jobCount NOTIFY jobsAdded)

public:
    // Without a limit, as many jobs run at once as the machine has cores.
    explicit JobQueue(Configuration& configuration, std::optional<int> maxConcurrentJobs = std::nullopt,
                      std::optional<JobPipeline::Services> services = std::nullopt, QObject* parent = nullptr);
    // Without `shutdown` first, waits for it here, running the event loop.
    ~JobQueue() override;

    const QList<OptimizationJob::Ptr>& jobs() const { return jobs_; }
    int jobCount() const { return int(jobs_.size()); }
    bool isProcessing() const { return isProcessing_; }
    qint64 totalBytesSaved() const { return totalBytesSaved_; }
    int totalFilesProcessed() const { return totalFilesProcessed_; }
    int totalFilesOptimized() const { return totalFilesOptimized_; }
    int maxConcurrentJobs() const { return maxConcurrentJobs_; }
    Configuration& configuration() const { return configuration_; }

    QList<OptimizationJob::Ptr> completedJobs() const;
    QList<OptimizationJob::Ptr> failedJobs() const;
    QList<OptimizationJob::Ptr> processingJobs() const;
    double averageSavings() const;

    // A restored job saved nothing: its original is back.
    static bool savedBytes(const OptimizationJob& job);
    static qint64 savingInBytes(const OptimizationJob& job);

    // Files are read to learn their type on a pool; their jobs join the list
    // in order, in groups as they are made, the first group starting a batch.
    QCoro::Task<> addFile(QUrl fileURL);
    Q_INVOKABLE void addFiles(const QList<QUrl>& fileURLs);
    // With settings of their own (a watched folder's), not those of this moment.
    void addFiles(const QList<QUrl>& fileURLs, const BatchSettings& settings);
    // Dropped or chosen files and folders: folders are walked on a pool (as
    // `collectImageURLs` does) and their images join as they are found.
    QCoro::Task<> addItems(QList<QUrl> items);
    void startProcessing();
    Q_INVOKABLE void cancelProcessing();
    // The jobs a cancel stopped wait again, and a batch runs them with those
    // it never started.
    Q_INVOKABLE void resumeStopped();
    // Neither asks nor fills the results cache (for runs that must redo all).
    void disableResultsCache();
    // Resolves once no batch is running, no file is waiting to join and the
    // ended jobs' temporary files are gone.
    QCoro::Task<> waitUntilIdle();
    // Between batches: takes the completed and failed jobs out of the list and
    // forgets them (a long command-line watch keeps flat memory; the window
    // keeps its cards). Totals count only the jobs left.
    QList<OptimizationJob::Ptr> takeFinishedJobs();
    // Stops intake, cancels the batch and resolves once every started job
    // has reached its end: a replacement under way is completed or undone,
    // and the job's working files are gone. No batch starts afterwards.
    QCoro::Task<> shutdown();

signals:
    // Jobs `first` to `last` (inclusive) joined the list, a group at a time so
    // that views update once per group.
    void jobsAdded(int first, int last);
    void isProcessingChanged();
    void totalsChanged();
    void batchFinished();

private:
    struct Batch;
    // A link is taken as the file it names (read on a pool thread); a file
    // reached through a link gets one unfinished job however many of its
    // names are dropped (decided on the queue's thread).
    struct Intake {
        QUrl given;
        OptimizationJob::Ptr job;
        QString realPath;
        bool isLink = false;
        std::shared_ptr<const BatchSettings> settings;
    };
    // Blocking: reads the file. The job is handed over to `home`.
    static Intake makeJob(const QUrl& fileURL, QThread* home, Configuration::OperationMode mode);
    static OptimizationJob::Ptr jobFor(const QUrl& fileURL, Configuration::OperationMode mode);
    bool admit(const Intake& found);
    QCoro::Task<> intake(QList<QUrl> items, bool walkFolders, std::shared_ptr<const BatchSettings> settings = {});
    void appendJobs(const QList<Intake>& found, int cancellationsAtIntake);
    // The settings of this moment, as a drop confirmed now keeps them.
    BatchSettings currentSettings() const;
    QCoro::Task<> processQueue(std::shared_ptr<Batch> batch);
    QCoro::Task<> runChild(std::shared_ptr<Batch> batch, OptimizationJob::Ptr job);
    bool startNextJobs(const std::shared_ptr<Batch>& batch);
    void finishBatch(Batch& batch);
    void setProcessing(bool processing);
    void updateTotals();
    void recordBatch(const Batch& batch);
    void withdrawRestored(const OptimizationJob& job);
    void updateBadge();
    static std::optional<SessionRecord> sessionOf(const Batch& batch);

    Configuration& configuration_;
    const int maxConcurrentJobs_;
    std::unique_ptr<WorkerScheduler> scheduler_;
    std::unique_ptr<OutputPlacement> placement_;
    std::unique_ptr<JobPipeline> pipeline_;

    QList<OptimizationJob::Ptr> jobs_;
    QSet<QUuid> started_;
    QSet<QUuid> countedAllTime_;
    QHash<QString, OptimizationJob::Ptr> jobByRealPath_;
    QSet<QString> reachedByLink_;
    QHash<QUuid, std::shared_ptr<const BatchSettings>> settingsOf_;
    bool isProcessing_ = false;
    qint64 totalBytesSaved_ = 0;
    int totalFilesProcessed_ = 0;
    int totalFilesOptimized_ = 0;
    int batchesAlive_ = 0;
    int runningChildren_ = 0;
    int intakes_ = 0;
    int cancellations_ = 0;
    quint64 nextIntakeTicket_ = 0;
    quint64 servedIntakeTicket_ = 0;
    bool shutDown_ = false;
    std::stop_source intakeStop_;
    EventLoop::Notifier intakeEnded_;
    qsizetype nextIndex_ = 0;
    std::shared_ptr<Batch> currentBatch_;
    EventLoop::Notifier childEnded_;
    EventLoop::Notifier batchEnded_;
};
