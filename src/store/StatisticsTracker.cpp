// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/StatisticsTracker.h"

#include "platform/ByteCountFormatter.h"
#include "store/SessionListModel.h"

#include <QJsonDocument>
#include <QLocale>

#include <algorithm>

namespace {

QString quoted(const QString& text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

} // namespace

StatisticsTracker::StatisticsTracker(const QString& databasePath, QObject* parent)
    : QObject(parent),
      store_(std::make_unique<StatisticsStore>(databasePath.isEmpty() ? StatisticsStore::defaultPath() : databasePath))
{
    const StatisticsStore::Totals totals = store_->totals();
    totalBytesSaved_ = totals.bytesSaved;
    totalFilesProcessed_ = totals.filesProcessed;
    totalFilesOptimized_ = totals.filesOptimized;
    startDateTimestamp_ = store_->startDate();
    sessions_ = loadSessions();
    model_ = new SessionListModel(this);
}

StatisticsTracker::~StatisticsTracker() = default;

StatisticsTracker& StatisticsTracker::shared()
{
    static StatisticsTracker instance;
    return instance;
}

void StatisticsTracker::showTotals(const StatisticsStore::Totals& totals)
{
    if (std::exchange(totalFilesProcessed_, totals.filesProcessed) != totals.filesProcessed)
        emit totalFilesProcessedChanged();
    if (std::exchange(totalFilesOptimized_, totals.filesOptimized) != totals.filesOptimized)
        emit totalFilesOptimizedChanged();
    if (std::exchange(totalBytesSaved_, totals.bytesSaved) != totals.bytesSaved)
        emit totalBytesSavedChanged();
}

void StatisticsTracker::setTotalBytesSaved(qint64 value)
{
    store_->setTotals({value, totalFilesProcessed_, totalFilesOptimized_});
    showTotals({value, totalFilesProcessed_, totalFilesOptimized_});
}

void StatisticsTracker::setTotalFilesProcessed(qint64 value)
{
    store_->setTotals({totalBytesSaved_, value, totalFilesOptimized_});
    showTotals({totalBytesSaved_, value, totalFilesOptimized_});
}

void StatisticsTracker::setTotalFilesOptimized(qint64 value)
{
    store_->setTotals({totalBytesSaved_, totalFilesProcessed_, value});
    showTotals({totalBytesSaved_, totalFilesProcessed_, value});
}

void StatisticsTracker::setStartDateTimestamp(double value)
{
    store_->setStartDate(value);
    if (std::exchange(startDateTimestamp_, value) != value)
        emit startDateTimestampChanged();
}

void StatisticsTracker::addFiles(qint64 processed, qint64 optimized, qint64 savedBytes,
                                 const std::optional<SessionRecord>& session)
{
    const StatisticsStore::Totals added{optimized > 0 ? savedBytes : 0, processed, optimized};
    const auto stored = session ? std::optional<QJsonValue>(session->toJson()) : std::nullopt;
    if (session)
        insertSession(0, *session);
    if (store_->add(added, stored)) {
        showTotals(store_->totals());
        return;
    }
    // Without a store the figures still add up for as long as the program runs.
    showTotals(
        {totalBytesSaved_ + added.bytesSaved, totalFilesProcessed_ + processed, totalFilesOptimized_ + optimized});
}

void StatisticsTracker::withdrawFile(qint64 savedBytes)
{
    if (savedBytes <= 0)
        return;
    const StatisticsStore::Totals taken{-savedBytes, 0, -1};
    if (store_->add(taken))
        showTotals(store_->totals());
    else
        showTotals({std::max<qint64>(totalBytesSaved_ - savedBytes, 0), totalFilesProcessed_,
                    std::max<qint64>(totalFilesOptimized_ - 1, 0)});
}

QString StatisticsTracker::startDateLabel() const
{
    const auto date = QDateTime::fromMSecsSinceEpoch(qint64(startDateTimestamp_ * 1000.0)).toLocalTime();
    return QLocale().toString(date, QStringLiteral("MMM yyyy"));
}

void StatisticsTracker::insertSession(qsizetype index, const SessionRecord& record)
{
    index = std::clamp<qsizetype>(index, 0, sessions_.size());
    sessions_.insert(index, record);
    emit sessionInserted(index);
    emit sessionsChanged();
}

QAbstractListModel* StatisticsTracker::sessionModel() const
{
    return model_;
}

QList<SessionRecord> StatisticsTracker::loadSessions() const
{
    QList<SessionRecord> records;
    for (const QJsonValue& value : store_->sessions())
        if (const auto record = value.isObject() ? SessionRecord::fromJson(value.toObject()) : std::nullopt)
            records.append(*record);
    return records;
}

QString StatisticsTracker::csvField(const QString& text)
{
    const bool needsQuotes = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
                             || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    return needsQuotes ? quoted(text) : text;
}

QString StatisticsTracker::exportCSV() const
{
    QString csv = QStringLiteral("Date,Images,Optimized,Failed,Skipped,Reduced,Savings,Runtime\n");
    for (const SessionRecord& record : sessions_) {
        // ISO 8601 in UTC: any program reads it, whatever the user's locale.
        // The date has always been quoted; readers may rely on it.
        const QStringList fields = {
            quoted(record.date.toUTC().toString(Qt::ISODate)),
            QString::number(record.imageCount),
            QString::number(record.optimizedCount),
            QString::number(record.failedCount),
            QString::number(record.skippedCount),
            csvField(ByteCountFormatter::format(record.totalSavedBytes)),
            csvField(QString::asprintf("%.1f%%", record.savingsPercent())),
            csvField(record.runtimeText()),
        };
        csv += fields.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return csv;
}
