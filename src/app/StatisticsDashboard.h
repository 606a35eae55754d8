// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSortFilterProxyModel>
#include <QString>

class FilePrompts;
class StatisticsTracker;

// The statistics tab: the all-time cards, the sessions in the chosen order
// and their export as CSV.
class StatisticsDashboard : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString sortKey READ sortKeyText NOTIFY sortChanged)
    Q_PROPERTY(QString sortOrder READ sortOrderText NOTIFY sortChanged)
    Q_PROPERTY(QString hoveredSessionID READ hoveredSessionID WRITE setHoveredSessionID NOTIFY hoveredSessionIDChanged)
    Q_PROPERTY(QAbstractItemModel* sessions READ sessions CONSTANT)
    Q_PROPERTY(int sessionCount READ sessionCount NOTIFY figuresChanged)
    Q_PROPERTY(bool isEmpty READ isEmpty NOTIFY figuresChanged)
    Q_PROPERTY(bool showsSince READ showsSince NOTIFY figuresChanged)
    Q_PROPERTY(QString sinceText READ sinceText NOTIFY figuresChanged)
    Q_PROPERTY(QString totalSavingsText READ totalSavingsText NOTIFY figuresChanged)
    Q_PROPERTY(QString totalPhotosText READ totalPhotosText NOTIFY figuresChanged)
    Q_PROPERTY(QString optimizedText READ optimizedText NOTIFY figuresChanged)
    Q_PROPERTY(QString madeSmallerText READ madeSmallerText NOTIFY figuresChanged)
    Q_PROPERTY(QString reductionText READ reductionText NOTIFY figuresChanged)

public:
    enum class SortKey { date, images, reduced, savings, runtime };
    Q_ENUM(SortKey)
    enum class SortOrder { ascending, descending };
    Q_ENUM(SortOrder)

    StatisticsDashboard(StatisticsTracker& tracker, FilePrompts& prompts, QObject* parent = nullptr);

    SortKey sortKey() const { return sortKey_; }
    SortOrder sortOrder() const { return sortOrder_; }
    QString sortKeyText() const;
    QString sortOrderText() const;
    QString hoveredSessionID() const { return hoveredSessionID_; }
    void setHoveredSessionID(const QString& id);
    QAbstractItemModel* sessions() { return &sorted_; }
    int sessionCount() const;
    // Nothing processed and no session: only the empty state shows.
    bool isEmpty() const;
    bool showsSince() const;
    QString sinceText() const;
    QString totalSavingsText() const;
    QString totalPhotosText() const;
    QString optimizedText() const;
    // "29 of 33": the share of files, not of bytes.
    QString madeSmallerText() const;
    // All-time bytes saved over the bytes the sessions' files had before, as
    // the panel and each session row count it. Stored sessions carry the
    // bytes before; the all-time saving already lost what restores took back.
    QString reductionText() const;

    // A header clicked: the same key flips the order, another sorts by it
    // from the largest down. Unknown keys are ignored.
    Q_INVOKABLE void sortBy(const QString& key);
    // Asks where to save the sessions as CSV and writes them there whole, or
    // not at all; a failed write is told.
    Q_INVOKABLE void exportSessions();

    static inline const QString exportName = QStringLiteral("Pressly_Sessions.csv");

signals:
    void sortChanged();
    void hoveredSessionIDChanged();
    void figuresChanged();

private:
    void applySort();

    StatisticsTracker& tracker_;
    FilePrompts& prompts_;
    QSortFilterProxyModel sorted_;
    SortKey sortKey_ = SortKey::date;
    SortOrder sortOrder_ = SortOrder::descending;
    QString hoveredSessionID_;
};
