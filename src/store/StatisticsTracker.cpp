#include "store/StatisticsTracker.h"

#include "platform/ByteCountFormatter.h"
#include "platform/KeyValueStore.h"
#include "store/SessionListModel.h"

#include <QJsonDocument>
#include <QLocale>

#include <algorithm>

namespace {

const QString bytesSavedKey = QStringLiteral("allTimeTotalBytesSaved");
const QString filesProcessedKey = QStringLiteral("allTimeTotalFilesProcessed");
const QString filesOptimizedKey = QStringLiteral("allTimeTotalFilesOptimized");
const QString startDateKey = QStringLiteral("allTimeStartDate");

// The store is looked up on each use: tests may replace it.
KeyValueStore& defaults() { return KeyValueStore::standard(); }

double nowSeconds() { return double(QDateTime::currentMSecsSinceEpoch()) / 1000.0; }

QString quoted(const QString& text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

} // namespace

StatisticsTracker::StatisticsTracker(QObject* parent)
    : QObject(parent)
{
    totalBytesSaved_ = defaults().int64(bytesSavedKey, 0);
    totalFilesProcessed_ = defaults().int64(filesProcessedKey, 0);
    totalFilesOptimized_ = defaults().int64(filesOptimizedKey, 0);
    double start = defaults().real(startDateKey, 0.0);
    if (!(start > 0.0)) {
        start = nowSeconds();
        defaults().setValue(startDateKey, start);
    }
    startDateTimestamp_ = start;
    sessions_ = readStoredSessions(&undecodable_);
    model_ = new SessionListModel(this);
}

StatisticsTracker::~StatisticsTracker() = default;

StatisticsTracker& StatisticsTracker::shared()
{
    static StatisticsTracker instance;
    return instance;
}

void StatisticsTracker::setTotalBytesSaved(qint64 value)
{
    defaults().setValue(bytesSavedKey, value);
    if (std::exchange(totalBytesSaved_, value) != value)
        emit totalBytesSavedChanged();
}

void StatisticsTracker::setTotalFilesProcessed(qint64 value)
{
    defaults().setValue(filesProcessedKey, value);
    if (std::exchange(totalFilesProcessed_, value) != value)
        emit totalFilesProcessedChanged();
}

void StatisticsTracker::setTotalFilesOptimized(qint64 value)
{
    defaults().setValue(filesOptimizedKey, value);
    if (std::exchange(totalFilesOptimized_, value) != value)
        emit totalFilesOptimizedChanged();
}

void StatisticsTracker::setStartDateTimestamp(double value)
{
    defaults().setValue(startDateKey, value);
    if (std::exchange(startDateTimestamp_, value) != value)
        emit startDateTimestampChanged();
}

void StatisticsTracker::addFiles(qint64 processed, qint64 optimized, qint64 savedBytes)
{
    setTotalFilesProcessed(totalFilesProcessed_ + processed);
    if (optimized > 0) {
        setTotalFilesOptimized(totalFilesOptimized_ + optimized);
        setTotalBytesSaved(totalBytesSaved_ + savedBytes);
    }
}

void StatisticsTracker::withdrawFile(qint64 savedBytes)
{
    if (savedBytes <= 0)
        return;
    setTotalFilesOptimized(std::max<qint64>(totalFilesOptimized_ - 1, 0));
    setTotalBytesSaved(std::max<qint64>(totalBytesSaved_ - savedBytes, 0));
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

QAbstractListModel* StatisticsTracker::sessionModel() const { return model_; }

QList<SessionRecord> StatisticsTracker::loadSessions() const { return readStoredSessions(nullptr); }

QList<SessionRecord> StatisticsTracker::readStoredSessions(QJsonArray* undecodable) const
{
    const QByteArray data = defaults().bytes(sessionsKey);
    if (data.isEmpty())
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(data);
    if (!document.isArray())
        return {};
    QList<SessionRecord> records;
    for (const QJsonValue& value : document.array()) {
        const auto record = value.isObject() ? SessionRecord::fromJson(value.toObject()) : std::nullopt;
        if (record)
            records.append(*record);
        else if (undecodable)
            undecodable->append(value);
    }
    return records;
}

void StatisticsTracker::saveSessions()
{
    QJsonArray array;
    for (const SessionRecord& record : sessions_)
        array.append(record.toJson());
    for (const QJsonValue& value : undecodable_)
        array.append(value);
    defaults().setValue(sessionsKey, QJsonDocument(array).toJson(QJsonDocument::Compact));
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
        // The date has always been quoted; readers may rely on it.
        const QStringList fields = {
            quoted(record.dateText()),
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
