// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/JobListModel.h"

#include "jobs/JobQueue.h"
#include "workers/IOFileType.h"

#include <QFileInfo>

#include <algorithm>

JobListModel::JobListModel(JobQueue& queue, QObject* parent) : QAbstractListModel(parent), queue_(queue)
{
    append(0, queue.jobCount() - 1);
    connect(&queue, &JobQueue::jobsAdded, this, &JobListModel::append);
}

int JobListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

OptimizationJob::Ptr JobListModel::jobAt(int row) const
{
    return row >= 0 && row < rows_.size() ? rows_[row] : nullptr;
}

// One insertion per group: views lay out once for a group, not once per job.
void JobListModel::append(int first, int last)
{
    QList<OptimizationJob::Ptr> fresh;
    for (int i = std::max(first, 0); i <= last; ++i)
        if (const auto job = queue_.jobs().value(i); job && !rowOf_.contains(job.get()))
            fresh.append(job);
    if (fresh.isEmpty())
        return;
    const int row = int(rows_.size());
    beginInsertRows({}, row, row + int(fresh.size()) - 1);
    for (const auto& job : fresh) {
        rowOf_.insert(job.get(), int(rows_.size()));
        rows_.append(job);
    }
    endInsertRows();
    for (const auto& job : fresh)
        watch(job.get());
    emit countChanged();
}

void JobListModel::watch(const OptimizationJob* raw)
{
    const auto changed = [this, raw] { jobChanged(raw); };
    for (const auto signal :
         {&OptimizationJob::statusChanged, &OptimizationJob::progressChanged, &OptimizationJob::optimizedSizeChanged,
          &OptimizationJob::currentToolChanged, &OptimizationJob::bestToolChanged, &OptimizationJob::errorChanged,
          &OptimizationJob::revertURLChanged, &OptimizationJob::isSkippedByCacheChanged,
          &OptimizationJob::isRestoredChanged, &OptimizationJob::exportedURLChanged})
        connect(raw, signal, this, changed);
}

void JobListModel::jobChanged(const OptimizationJob* job)
{
    const int row = rowOf_.value(job, -1);
    if (row < 0)
        return;
    const QModelIndex at = index(row);
    emit dataChanged(at, at);
}

QVariant JobListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const OptimizationJob& job = *rows_[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case FileNameRole:
        return job.fileName();
    case FileURLRole:
        return job.fileURL();
    case KindRole: {
        const auto kind = IOFileTypes::fromExtension(QFileInfo(job.fileName()).suffix());
        return kind ? IOFileTypes::name(*kind) : QString();
    }
    case StatusRole:
        return QVariant::fromValue(Status(int(job.status())));
    case StatusTextRole:
        return job.statusText();
    case OriginalSizeRole:
        return job.originalSize();
    case OptimizedSizeRole:
        return job.optimizedSize() ? QVariant(*job.optimizedSize()) : QVariant();
    case SavingsTextRole:
        return job.savingsText();
    case BestToolRole:
        return job.bestTool().value_or(QString());
    case CurrentToolRole:
        return job.currentTool().value_or(QString());
    case ProgressRole:
        return job.progress();
    case ErrorTextRole:
        return job.error() ? job.error()->errorDescription() : QString();
    case RevertLocationRole:
        return job.revertLocation();
    case SkippedByCacheRole:
        return job.isSkippedByCache();
    case RestoredRole:
        return job.isRestored();
    case ExportedLocationRole:
        return job.exportedLocation();
    default:
        return {};
    }
}

QHash<int, QByteArray> JobListModel::roleNames() const
{
    return {
        {FileNameRole, "fileName"},
        {FileURLRole, "fileURL"},
        {KindRole, "kind"},
        {StatusRole, "status"},
        {StatusTextRole, "statusText"},
        {OriginalSizeRole, "originalSize"},
        {OptimizedSizeRole, "optimizedSize"},
        {SavingsTextRole, "savingsText"},
        {BestToolRole, "bestTool"},
        {CurrentToolRole, "currentTool"},
        {ProgressRole, "progress"},
        {ErrorTextRole, "errorText"},
        {RevertLocationRole, "revertLocation"},
        {SkippedByCacheRole, "skippedByCache"},
        {RestoredRole, "restored"},
        {ExportedLocationRole, "exportedLocation"},
    };
}
