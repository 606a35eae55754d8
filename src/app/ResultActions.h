// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/OriginalRestorer.h"

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QUrl>

class JobListModel;

// What the enlarged card offers beyond looking: the original back from the
// Trash, the file in its folder, and byte counts as the window writes them.
class ResultActions : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)

public:
    explicit ResultActions(JobListModel& jobs, QObject* parent = nullptr);

    QString message() const { return message_; }
    bool busy() const { return busy_; }

    Q_INVOKABLE void restoreOriginal(int row);
    // Resolves once the restore has ended, however it ended.
    QCoro::Task<OriginalRestorer::Outcome> restore(int row);
    // The file manager on the session bus shows the file; without one the
    // folder opens in whatever handles folders; failing that, `message` says so.
    Q_INVOKABLE void showInFolder(const QUrl& file);
    Q_INVOKABLE void clearMessage();
    Q_INVOKABLE static QString byteText(qint64 bytes);

signals:
    void messageChanged();
    void busyChanged();

private:
    void setMessage(const QString& message);
    void setBusy(bool busy);
    // Through xdg-open, whose exit status tells whether anything opened the
    // folder (QDesktopServices::openUrl reports success once it started it).
    void openFolderOf(const QUrl& file);

    JobListModel& jobs_;
    OriginalRestorer restorer_;
    QString message_;
    bool busy_ = false;
};
