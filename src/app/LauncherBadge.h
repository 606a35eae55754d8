// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

class JobQueue;
class StatsPanel;

// Shows the application's badge on docks and task bars that follow the
// LauncherEntry D-Bus convention (KDE Plasma, Dash to Dock). While a batch
// runs, the files left and its progress, job by job (with `figures`);
// after a batch that saved bytes, the number of files optimized for as long
// as the badge text stays. Without a session bus it does nothing.
class LauncherBadge : public QObject {
    Q_OBJECT
public:
    static inline const QString desktopId = QStringLiteral(PRESSLY_APP_ID ".desktop");

    explicit LauncherBadge(const JobQueue& queue, const StatsPanel* figures = nullptr, QObject* parent = nullptr);

private:
    void update();
    void send(qint64 count, bool visible, double progress = 0.0, bool progressVisible = false);

    const JobQueue& queue_;
    const StatsPanel* figures_;
    // The last signal's properties: a job's end that changes nothing shown sends nothing.
    QVariantMap sent_;
};
