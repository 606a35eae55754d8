// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/StatisticsStore.h"

#include "platform/KeyValueStore.h"
#include "platform/Paths.h"
#include "platform/PrivateStorage.h"
#include "store/SessionRecord.h"
#include "store/SqlStatement.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

#include <functional>

namespace {

const char createSQL[] = "CREATE TABLE IF NOT EXISTS statistics_totals ("
                         " id INTEGER PRIMARY KEY CHECK (id = 1),"
                         " bytes_saved INTEGER NOT NULL, files_processed INTEGER NOT NULL,"
                         " files_optimized INTEGER NOT NULL, start_date REAL NOT NULL);"
                         "CREATE TABLE IF NOT EXISTS statistics_sessions ("
                         " seq INTEGER PRIMARY KEY AUTOINCREMENT, record TEXT NOT NULL);";

// Where earlier versions kept the figures.
const QString bytesSavedKey = QStringLiteral("allTimeTotalBytesSaved");
const QString filesProcessedKey = QStringLiteral("allTimeTotalFilesProcessed");
const QString filesOptimizedKey = QStringLiteral("allTimeTotalFilesOptimized");
const QString startDateKey = QStringLiteral("allTimeStartDate");
const QString sessionsKey = QStringLiteral("allTimeSessionRecords");

QByteArray encoded(const QJsonValue& value)
{
    // A lone value is kept inside a list: JSON text must be an object or a list.
    return QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
}

QJsonValue decoded(const QByteArray& text)
{
    return QJsonDocument::fromJson(text).array().at(0);
}

qint64 int64Column(const SqlStatement& statement, int column)
{
    return sqlite3_column_int64(statement.get(), column);
}

} // namespace

StatisticsStore::StatisticsStore(QString databasePath) : path_(std::move(databasePath))
{
    if (!open() || !migrate()) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

StatisticsStore::~StatisticsStore()
{
    if (db_)
        sqlite3_close_v2(db_);
}

QString StatisticsStore::defaultPath()
{
    return Paths::applicationSupportDir() + QStringLiteral("/results_cache.sqlite");
}

bool StatisticsStore::open()
{
    const QByteArray path = path_.toUtf8();
    PrivateStorage::makeFile(path_); // its journals take its permissions
    if (sqlite3_open_v2(path.constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        return false;
    // Another process may be adding its batch at this moment.
    sqlite3_busy_timeout(db_, 10000);
    sqlite3_exec(db_, "PRAGMA journal_mode=WAL;", nullptr, nullptr, nullptr);
    return sqlite3_exec(db_, createSQL, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool StatisticsStore::inTransaction(const std::function<bool()>& work)
{
    // Taken for writing at once: two processes never both read, then both write.
    if (!db_ || sqlite3_exec(db_, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr) != SQLITE_OK)
        return false;
    if (work() && sqlite3_exec(db_, "COMMIT;", nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    sqlite3_exec(db_, "ROLLBACK;", nullptr, nullptr, nullptr);
    return false;
}

bool StatisticsStore::migrate()
{
    return inTransaction([this] { return importLegacyFigures() && storeDatesAsUnixTime(); });
}

bool StatisticsStore::importLegacyFigures()
{
    SqlStatement present(db_, "SELECT 1 FROM statistics_totals WHERE id = 1;");
    if (!present)
        return false;
    if (sqlite3_step(present.get()) == SQLITE_ROW)
        return true;
    KeyValueStore& legacy = KeyValueStore::standard();
    const double start = legacy.real(startDateKey, 0.0);
    SqlStatement insert(db_, "INSERT INTO statistics_totals VALUES (1, ?, ?, ?, ?);");
    insert.bindInt64(1, legacy.int64(bytesSavedKey, 0));
    insert.bindInt64(2, legacy.int64(filesProcessedKey, 0));
    insert.bindInt64(3, legacy.int64(filesOptimizedKey, 0));
    insert.bindDouble(4, start > 0.0 ? start : double(QDateTime::currentMSecsSinceEpoch()) / 1000.0);
    if (!insert.run())
        return false;
    // Stored newest first; kept oldest first, so that newer rows come later.
    const QJsonArray stored = QJsonDocument::fromJson(legacy.bytes(sessionsKey)).array();
    for (qsizetype i = stored.size() - 1; i >= 0; --i)
        if (!insertSession(stored.at(i)))
            return false;
    return true;
}

// Sessions stored before dates were kept as Unix time are rewritten once;
// records this version cannot read stay as they are.
bool StatisticsStore::storeDatesAsUnixTime()
{
    SqlStatement version(db_, "PRAGMA user_version;");
    if (!version || sqlite3_step(version.get()) != SQLITE_ROW)
        return false;
    if (sqlite3_column_int(version.get(), 0) >= 1)
        return true;
    SqlStatement select(db_, "SELECT seq, record FROM statistics_sessions;");
    if (!select)
        return false;
    while (sqlite3_step(select.get()) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select.get(), 1));
        const QJsonValue stored = decoded(QByteArray(text));
        const auto record = stored.isObject() ? SessionRecord::fromJson(stored.toObject()) : std::nullopt;
        if (!record || stored.toObject().contains(QStringLiteral("unixTime")))
            continue;
        SqlStatement update(db_, "UPDATE statistics_sessions SET record = ? WHERE seq = ?;");
        if (!update || !update.bindText(1, QString::fromUtf8(encoded(record->toJson())))
            || !update.bindInt64(2, sqlite3_column_int64(select.get(), 0)) || !update.run())
            return false;
    }
    return sqlite3_exec(db_, "PRAGMA user_version = 1;", nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool StatisticsStore::insertSession(const QJsonValue& session)
{
    SqlStatement insert(db_, "INSERT INTO statistics_sessions (record) VALUES (?);");
    return insert && insert.bindText(1, QString::fromUtf8(encoded(session))) && insert.run();
}

StatisticsStore::Totals StatisticsStore::totals() const
{
    SqlStatement select(db_, "SELECT bytes_saved, files_processed, files_optimized FROM statistics_totals;");
    if (!select || sqlite3_step(select.get()) != SQLITE_ROW)
        return {};
    return {int64Column(select, 0), int64Column(select, 1), int64Column(select, 2)};
}

double StatisticsStore::startDate() const
{
    SqlStatement select(db_, "SELECT start_date FROM statistics_totals;");
    return select && sqlite3_step(select.get()) == SQLITE_ROW ? sqlite3_column_double(select.get(), 0) : 0.0;
}

QList<QJsonValue> StatisticsStore::sessions() const
{
    QList<QJsonValue> sessions;
    SqlStatement select(db_, "SELECT record FROM statistics_sessions ORDER BY seq DESC;");
    while (select && sqlite3_step(select.get()) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select.get(), 0));
        sessions.append(decoded(QByteArray(text)));
    }
    return sessions;
}

bool StatisticsStore::add(const Totals& added, const std::optional<QJsonValue>& session)
{
    return inTransaction([&] {
        SqlStatement update(db_, "UPDATE statistics_totals SET bytes_saved = max(bytes_saved + ?, 0),"
                                 " files_processed = max(files_processed + ?, 0),"
                                 " files_optimized = max(files_optimized + ?, 0);");
        update.bindInt64(1, added.bytesSaved);
        update.bindInt64(2, added.filesProcessed);
        update.bindInt64(3, added.filesOptimized);
        return update.run() && (!session || insertSession(*session));
    });
}

bool StatisticsStore::setTotals(const Totals& totals)
{
    SqlStatement update(db_, "UPDATE statistics_totals SET bytes_saved = ?, files_processed = ?, files_optimized = ?;");
    update.bindInt64(1, totals.bytesSaved);
    update.bindInt64(2, totals.filesProcessed);
    update.bindInt64(3, totals.filesOptimized);
    return update.run();
}

bool StatisticsStore::setStartDate(double seconds)
{
    SqlStatement update(db_, "UPDATE statistics_totals SET start_date = ?;");
    update.bindDouble(1, seconds);
    return update.run();
}
