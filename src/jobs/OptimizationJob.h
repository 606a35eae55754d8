// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/JobContext.h"
#include "core/OptimizationError.h"
#include "jobs/FileOperations.h"
#include "jobs/JobStatus.h"
#include "platform/CancellationFlag.h"

#include <QMap>
#include <QObject>
#include <QUrl>
#include <QUuid>
#include <QVariant>

#include <algorithm>
#include <memory>
#include <optional>

// One dropped file's job. Observable fields change only on the event-loop
// thread; the state-changing operations may be called from any thread and take
// effect there later, dropped if the job is gone by then.
class OptimizationJob : public QObject, public JobContext {
    Q_OBJECT
    Q_PROPERTY(QString fileName READ fileName CONSTANT)
    Q_PROPERTY(QUrl fileURL READ fileURL CONSTANT)
    Q_PROPERTY(qint64 originalSize READ originalSize NOTIFY originalSizeChanged)
    Q_PROPERTY(QString status READ statusText NOTIFY statusChanged)
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(QVariant optimizedSize READ optimizedSizeValue NOTIFY optimizedSizeChanged)
    Q_PROPERTY(QString currentTool READ currentToolText NOTIFY currentToolChanged)
    Q_PROPERTY(QString bestTool READ bestToolText NOTIFY bestToolChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorChanged)
    Q_PROPERTY(QString savingsText READ savingsText NOTIFY optimizedSizeChanged)
    Q_PROPERTY(QUrl revertLocation READ revertLocation NOTIFY revertURLChanged)
    Q_PROPERTY(bool isSkippedByCache READ isSkippedByCache NOTIFY isSkippedByCacheChanged)
    Q_PROPERTY(bool isRestored READ isRestored NOTIFY isRestoredChanged)
    Q_PROPERTY(QUrl exportedLocation READ exportedLocation NOTIFY exportedURLChanged)

public:
    using Ptr = std::shared_ptr<OptimizationJob>;

    // Reads the file's size; fails with the platform's error when it cannot be
    // read, or with "Could not read file size" for a directory.
    static Ptr create(const QUrl& fileURL, std::optional<OptimizationError>* error = nullptr);
    // A job that failed at intake, already in its final state (its size is 0
    // when it cannot be read).
    static Ptr createFailed(const QUrl& fileURL, const OptimizationError& error);

    ~OptimizationJob() override;

    QUuid id() const override { return id_; }
    QUrl fileURL() const override { return fileURL_; }
    QString fileName() const { return fileName_; }
    qint64 originalSize() const override { return originalSize_; }
    // The file as it was when it was added, if it could be read then.
    const std::optional<FileOperations::Identity>& addedVersion() const { return addedVersion_; }
    qint64 declaredPixels() const override { return declaredPixels_; }
    // Plain field, set on the event-loop thread before any tool runs.
    void setDeclaredPixels(qint64 pixels) { declaredPixels_ = pixels; }
    bool batchCancelled() const override { return batchCancel_.isCancelled(); }
    // The flag of the batch that runs the job now, set before any tool runs.
    void setBatchCancel(CancellationFlag cancel) { batchCancel_ = std::move(cancel); }

    JobStatus status() const { return status_; }
    QString statusText() const { return toString(status_); }
    double progress() const { return progress_; }
    std::optional<qint64> optimizedSize() const override { return optimizedSize_; }
    std::optional<QString> currentTool() const { return currentTool_; }
    std::optional<QString> bestTool() const { return bestTool_; }
    std::optional<OptimizationError> error() const { return error_; }
    std::optional<QUrl> tempFileURL() const { return tempFileURL_; }
    QString savingsText() const;
    // Bytes the optimized file saves over the original, restored or not.
    qint64 bytesSaved() const { return optimizedSize_ ? std::max<qint64>(originalSize_ - *optimizedSize_, 0) : 0; }

    // Where the original went (the Trash), once it was replaced.
    std::optional<QUrl> revertURL() const { return revertURL_; }
    QUrl revertLocation() const { return revertURL_.value_or(QUrl()); }
    bool isSkippedByCache() const { return isSkippedByCache_; }
    // The original was put back at its path after the job; the optimized file is in the Trash.
    bool isRestored() const { return isRestored_; }
    // Where the optimized copy went, in export mode.
    std::optional<QUrl> exportedURL() const { return exportedURL_; }
    QUrl exportedLocation() const { return exportedURL_.value_or(QUrl()); }

    // Plain field, written on the event-loop thread.
    QMap<QString, qint64> workerResults;

    // Deferred to the event-loop thread.
    void complete(qint64 optimizedSize, const QString& bestTool, const std::optional<QUrl>& tempFileURL);
    void fail(const OptimizationError& error);
    void cancel();
    void reportProgress(double fraction, const QString& toolName) override;
    void recordToolResult(const QString& toolName, qint64 size) override;

    // Immediate, for code already on the event-loop thread.
    // The size of the bytes the job read, when the file changed after it was added.
    void setOriginalSize(qint64 size);
    void setStatus(JobStatus status);
    void setBestTool(const std::optional<QString>& tool);
    void setOptimizedSize(const std::optional<qint64>& size);
    void setTempFileURL(const std::optional<QUrl>& url);
    void setRevertURL(const std::optional<QUrl>& url);
    void setSkippedByCache(bool skipped);
    void setRestored(bool restored);
    void setExportedURL(const std::optional<QUrl>& url);

signals:
    void originalSizeChanged();
    void statusChanged();
    void progressChanged();
    void optimizedSizeChanged();
    void currentToolChanged();
    void bestToolChanged();
    void errorChanged();
    void tempFileURLChanged();
    void revertURLChanged();
    void isSkippedByCacheChanged();
    void isRestoredChanged();
    void exportedURLChanged();

private:
    OptimizationJob(const QUrl& fileURL, qint64 originalSize);
    template <typename F> void onEventLoop(F&& change);
    void setProgress(double progress);
    void setCurrentTool(const QString& tool);
    void setError(const OptimizationError& error);
    QVariant optimizedSizeValue() const;
    QString currentToolText() const { return currentTool_.value_or(QString()); }
    QString bestToolText() const { return bestTool_.value_or(QString()); }
    QString errorText() const { return error_ ? error_->errorDescription() : QString(); }

    const QUuid id_;
    const QUrl fileURL_;
    const QString fileName_;
    qint64 originalSize_;
    std::optional<FileOperations::Identity> addedVersion_;
    CancellationFlag batchCancel_;
    JobStatus status_ = JobStatus::pending;
    double progress_ = 0.0;
    std::optional<qint64> optimizedSize_;
    std::optional<QString> currentTool_;
    std::optional<QString> bestTool_;
    std::optional<OptimizationError> error_;
    std::optional<QUrl> tempFileURL_;
    std::optional<QUrl> revertURL_;
    bool isSkippedByCache_ = false;
    bool isRestored_ = false;
    std::optional<QUrl> exportedURL_;
    qint64 declaredPixels_ = 0;
};
