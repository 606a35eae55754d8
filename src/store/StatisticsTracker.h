// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/SessionRecord.h"
#include "store/StatisticsStore.h"

#include <QAbstractListModel>
#include <QJsonArray>
#include <QList>
#include <QObject>

#include <memory>
#include <optional>

class SessionListModel;

// The all-time figures and the list of batch sessions, kept in the
// statistics store that every process adds to. Touched on the event-loop
// thread only.
class StatisticsTracker : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint64 totalBytesSaved READ totalBytesSaved WRITE setTotalBytesSaved NOTIFY totalBytesSavedChanged)
    Q_PROPERTY(qint64 totalFilesProcessed READ totalFilesProcessed WRITE setTotalFilesProcessed NOTIFY
                   totalFilesProcessedChanged)
    Q_PROPERTY(qint64 totalFilesOptimized READ totalFilesOptimized WRITE setTotalFilesOptimized NOTIFY
                   totalFilesOptimizedChanged)
    Q_PROPERTY(
        double startDateTimestamp READ startDateTimestamp WRITE setStartDateTimestamp NOTIFY startDateTimestampChanged)
    Q_PROPERTY(QString startDateLabel READ startDateLabel NOTIFY startDateTimestampChanged)
    Q_PROPERTY(int sessionCount READ sessionCount NOTIFY sessionsChanged)
    Q_PROPERTY(QAbstractListModel* sessionModel READ sessionModel CONSTANT)

public:
    // Loads the figures and sessions from the store at `databasePath`
    // (the standard one when empty).
    explicit StatisticsTracker(const QString& databasePath = {}, QObject* parent = nullptr);
    ~StatisticsTracker() override;

    static StatisticsTracker& shared();

    qint64 totalBytesSaved() const { return totalBytesSaved_; }
    qint64 totalFilesProcessed() const { return totalFilesProcessed_; }
    qint64 totalFilesOptimized() const { return totalFilesOptimized_; }
    double startDateTimestamp() const { return startDateTimestamp_; }
    // Each setter stores the value at once.
    void setTotalBytesSaved(qint64 value);
    void setTotalFilesProcessed(qint64 value);
    void setTotalFilesOptimized(qint64 value);
    void setStartDateTimestamp(double value);

    // Counts more processed files, of which `optimized` saved `savedBytes` in
    // all, and the batch's session when given, in one step of the store. A
    // batch adds its files at once: each change redraws every figure shown.
    void addFiles(qint64 processed, qint64 optimized, qint64 savedBytes,
                  const std::optional<SessionRecord>& session = std::nullopt);
    // Takes back the saving of a file counted as optimized whose original came back.
    void withdrawFile(qint64 savedBytes);

    // "Mar 2025", in the user's locale and time zone.
    QString startDateLabel() const;

    // Newest first. A session inserted here is shown, not stored: addFiles stores.
    const QList<SessionRecord>& sessions() const { return sessions_; }
    int sessionCount() const { return int(sessions_.size()); }
    void insertSession(qsizetype index, const SessionRecord& record);
    QAbstractListModel* sessionModel() const;

    // The stored sessions; a record that cannot be decoded is left out (and kept).
    QList<SessionRecord> loadSessions() const;

    QString exportCSV() const;
    // `text` as one CSV field: quoted, with quotes doubled, only when it holds
    // a comma, a double quote or a line break.
    static QString csvField(const QString& text);

signals:
    void totalBytesSavedChanged();
    void totalFilesProcessedChanged();
    void totalFilesOptimizedChanged();
    void startDateTimestampChanged();
    void sessionsChanged();
    void sessionInserted(qsizetype index);

private:
    // Shows the store's totals, which other processes may have added to.
    void showTotals(const StatisticsStore::Totals& totals);

    std::unique_ptr<StatisticsStore> store_;
    qint64 totalBytesSaved_ = 0;
    qint64 totalFilesProcessed_ = 0;
    qint64 totalFilesOptimized_ = 0;
    double startDateTimestamp_ = 0.0;
    QList<SessionRecord> sessions_;
    SessionListModel* model_ = nullptr;
};
