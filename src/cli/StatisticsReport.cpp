#include "cli/StatisticsReport.h"

#include "platform/ByteCountFormatter.h"
#include "store/StatisticsTracker.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString isoDate(const QDateTime& date) { return date.toLocalTime().toString(Qt::ISODate); }

} // namespace

QString StatisticsReport::text(bool json) const { return json ? asJson() : plain(); }

QString StatisticsReport::plain() const
{
    const auto since = QDateTime::fromMSecsSinceEpoch(qint64(tracker_.startDateTimestamp() * 1000.0));
    QString text = QStringLiteral("Since %1: %2 files processed, %3 optimized, %4 saved\n")
                       .arg(isoDate(since).left(10), QString::number(tracker_.totalFilesProcessed()),
                            QString::number(tracker_.totalFilesOptimized()),
                            ByteCountFormatter::format(tracker_.totalBytesSaved()));
    for (const SessionRecord& session : tracker_.sessions())
        text += QStringLiteral("%1  %2 files, %3 optimized, %4 failed, %5 skipped, %6 saved (%7%), %8\n")
                    .arg(isoDate(session.date), QString::number(session.imageCount),
                         QString::number(session.optimizedCount), QString::number(session.failedCount),
                         QString::number(session.skippedCount), ByteCountFormatter::format(session.totalSavedBytes),
                         QString::asprintf("%.1f", session.savingsPercent()), session.runtimeText());
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
        {QStringLiteral("since"), isoDate(QDateTime::fromMSecsSinceEpoch(qint64(tracker_.startDateTimestamp() * 1000.0)))},
    };
    const QJsonObject report{{QStringLiteral("allTime"), allTime}, {QStringLiteral("sessions"), sessions}};
    return QString::fromUtf8(QJsonDocument(report).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}
