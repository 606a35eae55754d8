// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StatisticsDashboard.h"

#include "app/FilePrompts.h"
#include "platform/ByteCountFormatter.h"
#include "store/SessionListModel.h"
#include "store/StatisticsTracker.h"

#include <QFileInfo>
#include <QLocale>
#include <QMetaEnum>
#include <QSaveFile>

#include <algorithm>

namespace {
int roleFor(StatisticsDashboard::SortKey key)
{
    switch (key) {
    case StatisticsDashboard::SortKey::date:
        return SessionListModel::DateRole;
    case StatisticsDashboard::SortKey::images:
        return SessionListModel::ImageCountRole;
    case StatisticsDashboard::SortKey::reduced:
        return SessionListModel::TotalSavedBytesRole;
    case StatisticsDashboard::SortKey::savings:
        return SessionListModel::SavingsRole;
    case StatisticsDashboard::SortKey::runtime:
        return SessionListModel::RuntimeSecondsRole;
    }
    return SessionListModel::DateRole;
}

template <typename E> QString rawText(E value)
{
    return QString::fromLatin1(QMetaEnum::fromType<E>().valueToKey(int(value)));
}
} // namespace

StatisticsDashboard::StatisticsDashboard(StatisticsTracker& tracker, FilePrompts& prompts, QObject* parent)
    : QObject(parent), tracker_(tracker), prompts_(prompts)
{
    sorted_.setSourceModel(tracker.sessionModel());
    sorted_.setDynamicSortFilter(true);
    applySort();
    for (const auto signal :
         {&StatisticsTracker::totalBytesSavedChanged, &StatisticsTracker::totalFilesProcessedChanged,
          &StatisticsTracker::totalFilesOptimizedChanged, &StatisticsTracker::startDateTimestampChanged,
          &StatisticsTracker::sessionsChanged})
        connect(&tracker, signal, this, &StatisticsDashboard::figuresChanged);
}

QString StatisticsDashboard::sortKeyText() const
{
    return rawText(sortKey_);
}

QString StatisticsDashboard::sortOrderText() const
{
    return rawText(sortOrder_);
}

void StatisticsDashboard::setHoveredSessionID(const QString& id)
{
    if (std::exchange(hoveredSessionID_, id) != id)
        emit hoveredSessionIDChanged();
}

int StatisticsDashboard::sessionCount() const
{
    return tracker_.sessionCount();
}

bool StatisticsDashboard::isEmpty() const
{
    return tracker_.totalFilesProcessed() == 0 && tracker_.sessionCount() == 0;
}

bool StatisticsDashboard::showsSince() const
{
    return tracker_.totalFilesProcessed() >= 1;
}

QString StatisticsDashboard::sinceText() const
{
    return tr("Since %1").arg(tracker_.startDateLabel());
}

QString StatisticsDashboard::totalSavingsText() const
{
    return ByteCountFormatter::format(tracker_.totalBytesSaved());
}

QString StatisticsDashboard::totalPhotosText() const
{
    return QString::number(tracker_.totalFilesProcessed());
}

QString StatisticsDashboard::optimizedText() const
{
    return QString::number(tracker_.totalFilesOptimized());
}

QString StatisticsDashboard::madeSmallerText() const
{
    return tr("%1 of %2")
        .arg(QLocale().toString(tracker_.totalFilesOptimized()), QLocale().toString(tracker_.totalFilesProcessed()));
}

QString StatisticsDashboard::reductionText() const
{
    qint64 before = 0;
    for (const SessionRecord& session : tracker_.sessions())
        before += std::max<qint64>(session.totalOriginalBytes, 0);
    // Figures kept before sessions were, or edited by hand, never show more than all.
    const double share = before < 1 ? 0.0 : std::clamp(double(tracker_.totalBytesSaved()) / double(before), 0.0, 1.0);
    return tr("%1%").arg(QLocale().toString(share * 100.0, 'f', 1));
}

void StatisticsDashboard::sortBy(const QString& key)
{
    bool known = false;
    const int value = QMetaEnum::fromType<SortKey>().keyToValue(key.toLatin1().constData(), &known);
    if (!known)
        return;
    if (SortKey(value) == sortKey_) {
        sortOrder_ = sortOrder_ == SortOrder::ascending ? SortOrder::descending : SortOrder::ascending;
    } else {
        sortKey_ = SortKey(value);
        sortOrder_ = SortOrder::descending;
    }
    applySort();
    emit sortChanged();
}

void StatisticsDashboard::applySort()
{
    sorted_.setSortRole(roleFor(sortKey_));
    sorted_.sort(0, sortOrder_ == SortOrder::ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void StatisticsDashboard::exportSessions()
{
    const QByteArray csv = tracker_.exportCSV().toUtf8();
    const auto path = prompts_.chooseSaveLocation(exportName);
    if (!path || path->isEmpty())
        return;
    QSaveFile file(*path);
    if (file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size() && file.commit())
        return;
    // The unfinished copy goes with `file`; the chosen path is left as it was.
    prompts_.inform(
        tr("Export Failed"),
        tr("The sessions could not be saved as “%1”: %2").arg(QFileInfo(*path).fileName(), file.errorString()));
}
