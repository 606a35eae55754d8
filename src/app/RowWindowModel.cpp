// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RowWindowModel.h"

#include <QTimer>

#include <algorithm>

void RowWindowModel::setSource(QAbstractItemModel* source)
{
    if (source_ == source)
        return;
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source_) {
        connect(source_, &QAbstractItemModel::rowsInserted, this, &RowWindowModel::scheduleFollow);
        connect(source_, &QAbstractItemModel::rowsRemoved, this, &RowWindowModel::reset);
        connect(source_, &QAbstractItemModel::rowsMoved, this, &RowWindowModel::reset);
        connect(source_, &QAbstractItemModel::modelReset, this, &RowWindowModel::reset);
        connect(source_, &QAbstractItemModel::layoutChanged, this, &RowWindowModel::reset);
        connect(source_, &QAbstractItemModel::dataChanged, this, &RowWindowModel::sourceDataChanged);
    }
    reset();
    emit sourceChanged();
}

void RowWindowModel::setFirst(int first)
{
    if (first_ == first)
        return;
    first_ = first;
    reset();
    emit firstChanged();
}

void RowWindowModel::setLimit(int limit)
{
    if (limit_ == limit)
        return;
    limit_ = std::max(0, limit);
    reset();
    emit limitChanged();
}

void RowWindowModel::setPace(int milliseconds)
{
    if (pace_ == milliseconds)
        return;
    pace_ = std::max(0, milliseconds);
    emit paceChanged();
}

RowWindowModel::Span RowWindowModel::wanted() const
{
    const int rows = source_ ? source_->rowCount() : 0;
    const int offset = first_ >= 0 ? std::min(first_, rows) : std::max(0, rows - limit_);
    return {offset, std::min(limit_, rows - offset)};
}

void RowWindowModel::reset()
{
    followPending_ = false;
    beginResetModel();
    const Span span = wanted();
    const bool moved = span.offset != offset_;
    offset_ = span.offset;
    count_ = span.count;
    endResetModel();
    if (moved)
        emit offsetChanged();
}

void RowWindowModel::scheduleFollow()
{
    if (followPending_)
        return;
    followPending_ = true;
    const qint64 since = sinceFollow_.isValid() ? sinceFollow_.elapsed() : pace_;
    QTimer::singleShot(std::chrono::milliseconds(std::max<qint64>(0, pace_ - since)), this, &RowWindowModel::follow);
}

// Rows were added: drop the rows that left the window at its front, then
// take in the new ones at its end. A full window only slides: its rows show
// other source rows, and no view has to make or destroy a delegate for it.
void RowWindowModel::follow()
{
    if (!followPending_)
        return;
    followPending_ = false;
    sinceFollow_.start();
    const Span span = wanted();
    const int drop = span.offset - offset_;
    if (drop > 0 && count_ > 0 && span.count == count_) {
        offset_ = span.offset;
        emit dataChanged(index(0), index(count_ - 1));
        emit offsetChanged();
        return;
    }
    if (drop < 0 || drop > count_) {
        reset();
        return;
    }
    if (drop > 0) {
        beginRemoveRows({}, 0, drop - 1);
        offset_ = span.offset;
        count_ -= drop;
        endRemoveRows();
        emit offsetChanged();
    }
    if (span.count > count_) {
        beginInsertRows({}, count_, span.count - 1);
        count_ = span.count;
        endInsertRows();
    }
}

void RowWindowModel::sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                       const QList<int>& roles)
{
    const int from = std::max(topLeft.row(), offset_) - offset_;
    const int to = std::min(bottomRight.row(), offset_ + count_ - 1) - offset_;
    if (from <= to)
        emit dataChanged(index(from), index(to), roles);
}

int RowWindowModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count_;
}

QVariant RowWindowModel::data(const QModelIndex& index, int role) const
{
    if (!source_ || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    return source_->data(source_->index(offset_ + index.row(), 0), role);
}

QHash<int, QByteArray> RowWindowModel::roleNames() const
{
    return source_ ? source_->roleNames() : QHash<int, QByteArray>();
}
