// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/RunReport.h"

#include "jobs/JobQueue.h"
#include "jobs/OutputVerifier.h"
#include "platform/ByteCountFormatter.h"
#include "store/ResultsCache.h"

#include <QCoreApplication>
#include <QLocale>

#include <sys/resource.h>

void RunReport::add(const OptimizationJob& job)
{
    ++files_;
    if (job.status() == JobStatus::failed)
        ++failed_;
    if (job.status() == JobStatus::cancelled || job.status() == JobStatus::pending)
        ++cancelled_;
    if (job.status() != JobStatus::completed)
        return;
    optimized_ += JobQueue::savedBytes(job) ? 1 : 0;
    skipped_ += job.isSkippedByCache() ? 1 : 0;
    bytesBefore_ += job.originalSize();
    bytesAfter_ += job.originalSize() - JobQueue::savingInBytes(job);
}

QJsonObject RunReport::jobJson(const OptimizationJob& job)
{
    QJsonObject object;
    object[QStringLiteral("file")] = job.fileURL().toLocalFile();
    object[QStringLiteral("status")] = job.statusText();
    object[QStringLiteral("originalSize")] = job.originalSize();
    // Only a completed job's result was written where it belongs.
    const bool failed = job.status() != JobStatus::completed;
    object[QStringLiteral("optimizedSize")] = job.optimizedSize() && !failed ? QJsonValue(*job.optimizedSize())
                                                                             : QJsonValue();
    object[QStringLiteral("bestTool")] = job.bestTool() && !failed ? QJsonValue(*job.bestTool()) : QJsonValue();
    object[QStringLiteral("error")] = job.error() ? QJsonValue(job.error()->errorDescription()) : QJsonValue();
    return object;
}

// CPU time of every tool run, children of this process.
double RunReport::toolSeconds()
{
    struct rusage usage { };
    if (::getrusage(RUSAGE_CHILDREN, &usage) != 0)
        return 0.0;
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double RunReport::savedPercent() const
{
    return bytesBefore_ > 0 ? double(bytesBefore_ - bytesAfter_) / double(bytesBefore_) * 100.0 : 0.0;
}

QJsonObject RunReport::summaryJson() const
{
    QJsonObject summary;
    summary[QStringLiteral("files")] = files_;
    summary[QStringLiteral("optimized")] = optimized_;
    summary[QStringLiteral("failed")] = failed_;
    summary[QStringLiteral("cancelled")] = cancelled_;
    summary[QStringLiteral("skippedByCache")] = skipped_;
    summary[QStringLiteral("skippedInFolders")] = skippedInFolders_;
    summary[QStringLiteral("bytesBefore")] = bytesBefore_;
    summary[QStringLiteral("bytesAfter")] = bytesAfter_;
    summary[QStringLiteral("savedPercent")] = savedPercent();
    summary[QStringLiteral("seconds")] = seconds_;
    // How the time was spent: checking results against the tools' own work.
    summary[QStringLiteral("verificationSeconds")] = OutputVerifier::secondsSpent();
    summary[QStringLiteral("hashSeconds")] = ResultsCache::hashingSeconds();
    summary[QStringLiteral("toolSeconds")] = toolSeconds();
    return QJsonObject{{QStringLiteral("summary"), summary}};
}

QString RunReport::summaryText() const
{
    const QLocale locale;
    const QString inFolders = skippedInFolders_ > 0 ? QCoreApplication::translate(
                                  "RunReport", ", %n skipped in folders (listed above)", nullptr, skippedInFolders_)
                                                    : QString();
    const QString cancelled = cancelled_ > 0
                                  ? QCoreApplication::translate("RunReport", ", %n cancelled", nullptr, cancelled_)
                                  : QString();
    return QCoreApplication::translate("RunReport",
                                       "%n files: %1 optimized, %2 failed%3, %4 skipped by the cache%5\n"
                                       "%6 → %7 (saved %8%), in %9 s",
                                       nullptr, files_)
        .arg(QString::number(optimized_), QString::number(failed_), cancelled, QString::number(skipped_), inFolders,
             ByteCountFormatter::format(bytesBefore_), ByteCountFormatter::format(bytesAfter_),
             locale.toString(savedPercent(), 'f', 1), locale.toString(seconds_, 'f', 1));
}
