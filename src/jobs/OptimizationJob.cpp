// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/OptimizationJob.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {
// QObjects must die on their own thread; a last reference dropped elsewhere
// hands the deletion over.
void deleteJob(OptimizationJob* job)
{
    if (QThread::currentThread() == job->thread())
        delete job;
    else
        job->deleteLater();
}
} // namespace

OptimizationJob::OptimizationJob(const QUrl& fileURL, qint64 originalSize)
    : id_(QUuid::createUuid()), fileURL_(fileURL), fileName_(QFileInfo(fileURL.toLocalFile()).fileName()),
      originalSize_(originalSize)
{
}

OptimizationJob::~OptimizationJob() = default;

OptimizationJob::Ptr OptimizationJob::create(const QUrl& fileURL, std::optional<OptimizationError>* error)
{
    const QByteArray path = fileURL.toLocalFile().toLocal8Bit();
    struct stat info { };
    if (::stat(path.constData(), &info) != 0) {
        if (error)
            *error = OptimizationError::platform(
                QCoreApplication::translate("OptimizationJob", "The file “%1” couldn’t be read: %2")
                    .arg(QFileInfo(fileURL.toLocalFile()).fileName(), QString::fromLocal8Bit(std::strerror(errno))));
        return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
        if (error)
            *error = OptimizationError::fileAccess(
                QCoreApplication::translate("OptimizationJob", "Could not read file size"));
        return nullptr;
    }
    Ptr job(new OptimizationJob(fileURL, qint64(info.st_size)), deleteJob);
    job->addedVersion_ = FileOperations::identityOf(info);
    return job;
}

OptimizationJob::Ptr OptimizationJob::createFailed(const QUrl& fileURL, const OptimizationError& error)
{
    // The size shows when it can still be read; a vanished file counts 0.
    struct stat info { };
    const bool known = ::stat(fileURL.toLocalFile().toLocal8Bit().constData(), &info) == 0 && S_ISREG(info.st_mode);
    Ptr job(new OptimizationJob(fileURL, known ? qint64(info.st_size) : 0), deleteJob);
    job->setError(error);
    job->status_ = JobStatus::failed;
    return job;
}

QString OptimizationJob::savingsText() const
{
    if (!optimizedSize_)
        return QStringLiteral("--");
    if (originalSize_ >= 1) {
        const double r = 1.0 - double(*optimizedSize_) / double(originalSize_);
        if (r >= 0 && r * 100 > 0)
            return QCoreApplication::translate("OptimizationJob", "%1%").arg(QLocale().toString(r * 100, 'f', 1));
    }
    return QCoreApplication::translate("OptimizationJob", "%1%").arg(QLocale().toString(0));
}

template <typename F> void OptimizationJob::onEventLoop(F&& change)
{
    QMetaObject::invokeMethod(this, std::forward<F>(change), Qt::QueuedConnection);
}

void OptimizationJob::complete(qint64 optimizedSize, const QString& bestTool, const std::optional<QUrl>& tempFileURL)
{
    onEventLoop([this, optimizedSize, bestTool, tempFileURL] {
        setOptimizedSize(optimizedSize);
        setBestTool(bestTool);
        setTempFileURL(tempFileURL);
        setStatus(JobStatus::completed);
        setProgress(1.0);
    });
}

void OptimizationJob::fail(const OptimizationError& error)
{
    onEventLoop([this, error] {
        setError(error);
        setStatus(JobStatus::failed);
        setProgress(0.0);
    });
}

void OptimizationJob::cancel()
{
    onEventLoop([this] {
        setStatus(JobStatus::cancelled);
        setProgress(0.0);
    });
}

void OptimizationJob::recordToolResult(const QString& toolName, qint64 size)
{
    setOptimizedSize(size);
    workerResults.insert(toolName, size);
    const auto smallest = std::min_element(workerResults.cbegin(), workerResults.cend());
    setBestTool(smallest.key());
}

void OptimizationJob::reportProgress(double fraction, const QString& toolName)
{
    onEventLoop([this, fraction, toolName] {
        // A late report must not bring a finished job back to life.
        if (isFinal(status_))
            return;
        setProgress(fraction);
        setCurrentTool(toolName);
        if (status_ == JobStatus::pending)
            setStatus(JobStatus::processing);
    });
}

void OptimizationJob::setOriginalSize(qint64 size)
{
    if (std::exchange(originalSize_, size) != size)
        emit originalSizeChanged();
}

void OptimizationJob::setStatus(JobStatus status)
{
    if (status_ == status)
        return;
    status_ = status;
    emit statusChanged();
}

void OptimizationJob::setProgress(double progress)
{
    if (progress_ == progress)
        return;
    progress_ = progress;
    emit progressChanged();
}

void OptimizationJob::setOptimizedSize(const std::optional<qint64>& size)
{
    if (optimizedSize_ == size)
        return;
    optimizedSize_ = size;
    emit optimizedSizeChanged();
}

void OptimizationJob::setCurrentTool(const QString& tool)
{
    if (currentTool_ == tool)
        return;
    currentTool_ = tool;
    emit currentToolChanged();
}

void OptimizationJob::setBestTool(const std::optional<QString>& tool)
{
    if (bestTool_ == tool)
        return;
    bestTool_ = tool;
    emit bestToolChanged();
}

void OptimizationJob::setError(const OptimizationError& error)
{
    error_ = error;
    emit errorChanged();
}

void OptimizationJob::setTempFileURL(const std::optional<QUrl>& url)
{
    if (tempFileURL_ == url)
        return;
    tempFileURL_ = url;
    emit tempFileURLChanged();
}

void OptimizationJob::setRevertURL(const std::optional<QUrl>& url)
{
    // Placement may run on a pool thread; observers live on the event loop.
    if (QThread::currentThread() != thread()) {
        onEventLoop([this, url] { setRevertURL(url); });
        return;
    }
    if (revertURL_ == url)
        return;
    revertURL_ = url;
    emit revertURLChanged();
}

void OptimizationJob::setSkippedByCache(bool skipped)
{
    if (isSkippedByCache_ == skipped)
        return;
    isSkippedByCache_ = skipped;
    emit isSkippedByCacheChanged();
}

void OptimizationJob::setRestored(bool restored)
{
    if (isRestored_ == restored)
        return;
    isRestored_ = restored;
    emit isRestoredChanged();
}

void OptimizationJob::setExportedURL(const std::optional<QUrl>& url)
{
    if (exportedURL_ == url)
        return;
    exportedURL_ = url;
    emit exportedURLChanged();
}

QVariant OptimizationJob::optimizedSizeValue() const
{
    return optimizedSize_ ? QVariant::fromValue(*optimizedSize_) : QVariant();
}
