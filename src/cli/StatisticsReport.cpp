// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/StatisticsReport.h"

#include "platform/ByteCountFormatter.h"
#include "store/StatisticsTracker.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

namespace {

QString isoDate(const QDateTime& date)
{
    return date.toLocalTime().toString(Qt::ISODate);
}

} // namespace

QString StatisticsReport::text(bool json) const
{
    return json ? asJson() : plain();
}

QString StatisticsReport::plain() const
{
    const auto since = QDateTime::fromMSecsSinceEpoch(qint64(tracker_.startDateTimestamp() * 1000.0));
    QString text = QCoreApplication::translate("StatisticsReport",
                                               "Since %1: %n files processed, %2 optimized, %3 saved\n", nullptr,
                                               int(tracker_.totalFilesProcessed()))
                       .arg(isoDate(since).left(10), QString::number(tracker_.totalFilesOptimized()),
                            ByteCountFormatter::format(tracker_.totalBytesSaved()));
    for (const SessionRecord& session : tracker_.sessions())
        text += QCoreApplication::translate("StatisticsReport",
                                            "%1  %n files, %2 optimized, %3 failed, %4 skipped, %5 saved (%6%), %7\n",
                                            nullptr, int(session.imageCount))
                    .arg(isoDate(session.date), QString::number(session.optimizedCount),
                         QString::number(session.failedCount), QString::number(session.skippedCount),
                         ByteCountFormatter::format(session.totalSavedBytes),
                         QLocale().toString(session.savingsPercent(), 'f', 1), session.runtimeText());
    return text;
}

QString StatisticsReport::asJson() const
{
    QJsonArray sessions;
    for (const SessionRecord& session : tracker_.sessions()) {
        QJsonObject object = session.toJson();
        object[QStringLiteral("date")] = isoDate(session.date);
        sessions.append(object);
    }
    const QJsonObject allTime{
        {QStringLiteral("filesProcessed"), tracker_.totalFilesProcessed()},
        {QStringLiteral("filesOptimized"), tracker_.totalFilesOptimized()},
        {QStringLiteral("bytesSaved"), tracker_.totalBytesSaved()},
        {QStringLiteral("since"),
         isoDate(QDateTime::fromMSecsSinceEpoch(qint64(tracker_.startDateTimestamp() * 1000.0)))},
    };
    const QJsonObject report{{QStringLiteral("allTime"), allTime}, {QStringLiteral("sessions"), sessions}};
    return QString::fromUtf8(QJsonDocument(report).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}
