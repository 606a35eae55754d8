// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/SessionRecord.h"

#include <QAbstractListModel>
#include <QList>

class StatisticsTracker;

// The tracker's sessions for views. Rows are only ever inserted, so a view
// keeps its place and redraws only what is new.
class SessionListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        IdRole = Qt::UserRole + 1,
        DateRole,
        ImageCountRole,
        OptimizedCountRole,
        FailedCountRole,
        SkippedCountRole,
        TotalOriginalBytesRole,
        TotalSavedBytesRole,
        RuntimeSecondsRole,
        RuntimeTextRole,
        IdTextRole,
        DateTextRole,
        SavedBytesTextRole,
        SavingsRole,
        SavingsTextRole,
    };

    explicit SessionListModel(StatisticsTracker* tracker);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    void insertFromTracker(qsizetype index);

    StatisticsTracker* tracker_;
    // Own copy, so the row count always matches what has been announced.
    QList<SessionRecord> rows_;
};
