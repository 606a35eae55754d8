// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractListModel>
#include <QElapsedTimer>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

// A few consecutive rows of another list: from `first` on, or, while `first`
// is -1, the last ones. At most `limit` rows. Rows appended to the source
// slide the window on with row removals and insertions, never a reset, so
// the views of rows that stay are kept. The slide waits for the event loop's
// next turn: thousands of rows appended at once make one slide, not
// thousands of views made and dropped. With `pace`, slides come at most
// that many milliseconds apart.
class RowWindowModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QAbstractItemModel* source READ source WRITE setSource NOTIFY sourceChanged)
    Q_PROPERTY(int first READ first WRITE setFirst NOTIFY firstChanged)
    Q_PROPERTY(int limit READ limit WRITE setLimit NOTIFY limitChanged)
    Q_PROPERTY(int offset READ offset NOTIFY offsetChanged)
    Q_PROPERTY(int pace READ pace WRITE setPace NOTIFY paceChanged)

public:
    using QAbstractListModel::QAbstractListModel;

    QAbstractItemModel* source() const { return source_; }
    int first() const { return first_; }
    int limit() const { return limit_; }
    // The source row of this model's row 0.
    int offset() const { return offset_; }
    int pace() const { return pace_; }
    void setSource(QAbstractItemModel* source);
    void setFirst(int first);
    void setLimit(int limit);
    void setPace(int milliseconds);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void sourceChanged();
    void firstChanged();
    void limitChanged();
    void offsetChanged();
    void paceChanged();

private:
    struct Span {
        int offset = 0;
        int count = 0;
    };
    Span wanted() const;
    void scheduleFollow();
    void follow();
    void reset();
    void sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles);

    QPointer<QAbstractItemModel> source_;
    int first_ = -1;
    int limit_ = 10;
    int offset_ = 0;
    int count_ = 0;
    int pace_ = 0;
    bool followPending_ = false;
    QElapsedTimer sinceFollow_;
};
