// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LauncherBadge.h"

#include "app/StatsPanel.h"
#include "jobs/JobQueue.h"
#include "platform/DockBadge.h"

#include <QDBusConnection>
#include <QDBusMessage>

LauncherBadge::LauncherBadge(const JobQueue& queue, const StatsPanel* figures, QObject* parent)
    : QObject(parent), queue_(queue), figures_(figures)
{
    connect(&DockBadge::shared(), &DockBadge::labelChanged, this, &LauncherBadge::update);
    if (figures)
        connect(figures, &StatsPanel::changed, this, &LauncherBadge::update);
}

void LauncherBadge::update()
{
    if (figures_ && figures_->isProcessing()) {
        send(figures_->jobCount() - figures_->finishedCount(), true, figures_->progress(), true);
        return;
    }
    const QString label = DockBadge::shared().label();
    bool isCount = false;
    const qint64 running = label.toLongLong(&isCount);
    if (label.isEmpty())
        send(0, false);
    else if (isCount)
        send(running, true);
    else // the bytes saved, which the convention cannot carry as text
        send(queue_.totalFilesOptimized(), true);
}

void LauncherBadge::send(qint64 count, bool visible, double progress, bool progressVisible)
{
    QVariantMap properties{{QStringLiteral("count"), count},
                           {QStringLiteral("count-visible"), visible},
                           {QStringLiteral("progress"), progress},
                           {QStringLiteral("progress-visible"), progressVisible}};
    if (properties == sent_)
        return;
    sent_ = properties;
    auto bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    auto signal = QDBusMessage::createSignal(QStringLiteral("/com/pressly/Pro/LauncherEntry"),
                                             QStringLiteral("com.canonical.Unity.LauncherEntry"),
                                             QStringLiteral("Update"));
    signal << QStringLiteral("application://") + desktopId << properties;
    bus.send(signal);
}
