// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/OptimizationJob.h"

#include <QAbstractListModel>
#include <QList>

class JobQueue;

// The queue's jobs for views. Rows are only appended, as the queue only
// appends, so a view of thousands of jobs redraws only what changed.
class JobListModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    // Mirrors JobStatus for views.
    enum class Status { Pending, Processing, Completed, Failed, Cancelled };
    Q_ENUM(Status)

    enum Role {
        FileNameRole = Qt::UserRole + 1,
        FileURLRole,
        KindRole,
        StatusRole,
        StatusTextRole,
        OriginalSizeRole,
        OptimizedSizeRole,
        SavingsTextRole,
        BestToolRole,
        CurrentToolRole,
        ProgressRole,
        ErrorTextRole,
        RevertLocationRole,
        SkippedByCacheRole,
        RestoredRole,
        ExportedLocationRole,
    };

    explicit JobListModel(JobQueue& queue, QObject* parent = nullptr);

    int count() const { return int(rows_.size()); }
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
    OptimizationJob::Ptr jobAt(int row) const;

signals:
    void countChanged();

private:
    void append(int first, int last);
    void watch(const OptimizationJob* job);
    void jobChanged(const OptimizationJob* job);

    JobQueue& queue_;
    // Own copy, so the row count always matches what has been announced.
    QList<OptimizationJob::Ptr> rows_;
    QHash<const OptimizationJob*, int> rowOf_;
};
