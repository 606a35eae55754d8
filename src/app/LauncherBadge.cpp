#include "app/LauncherBadge.h"

#include "jobs/JobQueue.h"
#include "platform/DockBadge.h"

#include <QDBusConnection>
#include <QDBusMessage>

LauncherBadge::LauncherBadge(const JobQueue& queue, QObject* parent) : QObject(parent), queue_(queue)
{
    connect(&DockBadge::shared(), &DockBadge::labelChanged, this, &LauncherBadge::update);
}

void LauncherBadge::update()
{
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

void LauncherBadge::send(qint64 count, bool visible)
{
    auto bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    auto signal = QDBusMessage::createSignal(QStringLiteral("/com/pressly/Pro/LauncherEntry"),
                                             QStringLiteral("com.canonical.Unity.LauncherEntry"),
                                             QStringLiteral("Update"));
    QVariantMap properties{{QStringLiteral("count"), count}, {QStringLiteral("count-visible"), visible}};
    signal << QStringLiteral("application://") + desktopId << properties;
    bus.send(signal);
}
