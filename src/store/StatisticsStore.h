// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonValue>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

struct sqlite3;

// The all-time figures and every batch's session, kept in the SQLite
// database beside the results cache, so that windows and command-line runs,
// one after another or at once, add to the same figures: each batch adds its
// part inside the database, in one transaction. Blocking.
class StatisticsStore {
public:
    struct Totals {
        qint64 bytesSaved = 0;
        qint64 filesProcessed = 0;
        qint64 filesOptimized = 0;
    };

    // Figures an earlier version kept in the key-value store move in on the
    // first open; the key-value store is left as it was.
    explicit StatisticsStore(QString databasePath = defaultPath());
    ~StatisticsStore();
    StatisticsStore(const StatisticsStore&) = delete;
    StatisticsStore& operator=(const StatisticsStore&) = delete;

    // "results_cache.sqlite" in the application-support folder.
    static QString defaultPath();

    bool isOpen() const { return db_ != nullptr; }
    Totals totals() const;
    // Unix time in seconds of the first figure counted.
    double startDate() const;
    // Every session as it was stored (a record this version cannot read
    // included), newest first.
    QList<QJsonValue> sessions() const;

    // Adds to the totals (never below 0) and, when given, stores a session.
    bool add(const Totals& added, const std::optional<QJsonValue>& session = std::nullopt);
    bool setTotals(const Totals& totals);
    bool setStartDate(double seconds);

private:
    bool open();
    bool migrate();
    bool importLegacyFigures();
    bool storeDatesAsUnixTime();
    bool inTransaction(const std::function<bool()>& work);
    bool insertSession(const QJsonValue& session);

    QString path_;
    sqlite3* db_ = nullptr;
};
