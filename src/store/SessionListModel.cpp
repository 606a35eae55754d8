// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/SessionListModel.h"

#include "platform/ByteCountFormatter.h"
#include "store/StatisticsTracker.h"

#include <QCoreApplication>
#include <QLocale>

SessionListModel::SessionListModel(StatisticsTracker* tracker)
    : QAbstractListModel(tracker), tracker_(tracker), rows_(tracker->sessions())
{
    connect(tracker, &StatisticsTracker::sessionInserted, this, &SessionListModel::insertFromTracker);
}

int SessionListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

QVariant SessionListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const SessionRecord& record = rows_.at(index.row());
    switch (role) {
    case IdRole:
        return record.id;
    case DateRole:
        return record.date;
    case ImageCountRole:
        return record.imageCount;
    case OptimizedCountRole:
        return record.optimizedCount;
    case FailedCountRole:
        return record.failedCount;
    case SkippedCountRole:
        return record.skippedCount;
    case TotalOriginalBytesRole:
        return record.totalOriginalBytes;
    case TotalSavedBytesRole:
        return record.totalSavedBytes;
    case RuntimeSecondsRole:
        return record.runtimeSeconds;
    case Qt::DisplayRole:
    case RuntimeTextRole:
        return record.runtimeText();
    case IdTextRole:
        return record.id.toString(QUuid::WithoutBraces);
    case DateTextRole:
        return record.dateText();
    case SavedBytesTextRole:
        return ByteCountFormatter::format(record.totalSavedBytes);
    case SavingsRole:
        return record.savingsPercent();
    case SavingsTextRole:
        return QCoreApplication::translate("SessionListModel", "%1%")
            .arg(QLocale().toString(record.savingsPercent(), 'f', 1));
    default:
        return {};
    }
}

QHash<int, QByteArray> SessionListModel::roleNames() const
{
    return {
        {IdRole, "id"},
        {DateRole, "date"},
        {ImageCountRole, "imageCount"},
        {OptimizedCountRole, "optimizedCount"},
        {FailedCountRole, "failedCount"},
        {SkippedCountRole, "skippedCount"},
        {TotalOriginalBytesRole, "totalOriginalBytes"},
        {TotalSavedBytesRole, "totalSavedBytes"},
        {RuntimeSecondsRole, "runtimeSeconds"},
        {RuntimeTextRole, "runtimeText"},
        {IdTextRole, "idText"},
        {DateTextRole, "dateText"},
        {SavedBytesTextRole, "savedBytesText"},
        {SavingsRole, "savings"},
        {SavingsTextRole, "savingsText"},
    };
}

void SessionListModel::insertFromTracker(qsizetype index)
{
    const int row = int(index);
    beginInsertRows({}, row, row);
    rows_.insert(index, tracker_->sessions().at(index));
    endInsertRows();
}
