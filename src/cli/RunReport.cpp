#include "cli/RunReport.h"

#include "jobs/JobQueue.h"
#include "jobs/OutputVerifier.h"
#include "platform/ByteCountFormatter.h"

#include <sys/resource.h>

RunReport::RunReport(const QList<OptimizationJob::Ptr>& jobs, double seconds) : seconds_(seconds)
{
    for (const auto& job : jobs) {
        ++files_;
        if (job->status() == JobStatus::failed)
            ++failed_;
        if (job->status() != JobStatus::completed)
            continue;
        optimized_ += JobQueue::savedBytes(*job) ? 1 : 0;
        skipped_ += job->isSkippedByCache() ? 1 : 0;
        bytesBefore_ += job->originalSize();
        bytesAfter_ += job->originalSize() - JobQueue::savingInBytes(*job);
    }
}

QJsonObject RunReport::jobJson(const OptimizationJob& job)
{
    QJsonObject object;
    object[QStringLiteral("file")] = job.fileURL().toLocalFile();
    object[QStringLiteral("status")] = job.statusText();
    object[QStringLiteral("originalSize")] = job.originalSize();
    object[QStringLiteral("optimizedSize")] = job.optimizedSize() ? QJsonValue(*job.optimizedSize()) : QJsonValue();
    object[QStringLiteral("bestTool")] = job.bestTool() ? QJsonValue(*job.bestTool()) : QJsonValue();
    object[QStringLiteral("error")] = job.error() ? QJsonValue(job.error()->errorDescription()) : QJsonValue();
    return object;
}

// CPU time of every tool run, children of this process.
double RunReport::toolSeconds()
{
    struct rusage usage {};
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
    summary[QStringLiteral("skippedByCache")] = skipped_;
    summary[QStringLiteral("bytesBefore")] = bytesBefore_;
    summary[QStringLiteral("bytesAfter")] = bytesAfter_;
    summary[QStringLiteral("savedPercent")] = savedPercent();
    summary[QStringLiteral("seconds")] = seconds_;
    // How the time was spent: checking results against the tools' own work.
    summary[QStringLiteral("verificationSeconds")] = OutputVerifier::secondsSpent();
    summary[QStringLiteral("toolSeconds")] = toolSeconds();
    return QJsonObject{{QStringLiteral("summary"), summary}};
}

QString RunReport::summaryText() const
{
    return QStringLiteral("%1 files: %2 optimized, %3 failed, %4 skipped by the cache\n"
                          "%5 → %6 (saved %7%), in %8 s")
        .arg(files_)
        .arg(optimized_)
        .arg(failed_)
        .arg(skipped_)
        .arg(ByteCountFormatter::format(bytesBefore_), ByteCountFormatter::format(bytesAfter_),
             QString::asprintf("%.1f", savedPercent()), QString::asprintf("%.1f", seconds_));
}
