// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/BatchSettings.h"
#include "jobs/WatchedFolder.h"

#include <QAbstractListModel>
#include <QTimer>

#include <chrono>
#include <memory>
#include <vector>

class FolderWatchFeed;
class FolderWatchLock;
class JobQueue;

// The watched folders of the settings: each one's images join the queue once
// settled, with its own mode and preset, while this window holds its lock.
// Stored in the preferences at every change.
class WatchedFolderList : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(bool paused READ paused WRITE setPaused NOTIFY pausedChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role { PathRole = Qt::UserRole + 1, NameRole, ExportingRole, PresetRole, HeldElsewhereRole, StateTextRole };

    WatchedFolderList(JobQueue& queue, std::chrono::milliseconds settle = std::chrono::seconds(2),
                      QObject* parent = nullptr);
    ~WatchedFolderList() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
    int count() const { return int(rows_.size()); }
    bool paused() const { return paused_; }
    bool isExporting(int row) const;

    // False when the folder is listed already.
    Q_INVOKABLE bool add(const QString& path);
    Q_INVOKABLE void remove(int row);
    Q_INVOKABLE void setExporting(int row, bool exporting);
    Q_INVOKABLE void setPreset(int row, const QString& raw);
    void setPaused(bool paused);

signals:
    void pausedChanged();
    void countChanged();
    // Every image of one settled group in `folder` has ended.
    void burstFinished(const QString& folder, int images, qint64 savedBytes);

private:
    struct Row;
    void start(Row& row);
    void stop(Row& row);
    void restart(int row);
    int indexOf(const Row* row) const;
    void retryHeld();
    void changed(int row);
    void store() const;
    void announce(const QString& folder, int images, qint64 saved);

    JobQueue& queue_;
    const std::chrono::milliseconds settle_;
    std::vector<std::unique_ptr<Row>> rows_;
    bool paused_ = false;
    QTimer retry_;
};
