#pragma once

#include <QObject>
#include <QString>

class JobQueue;

// Shows the application's badge on docks and task bars that follow the
// LauncherEntry D-Bus convention (KDE Plasma, Dash to Dock). A count while
// jobs run; after a batch that saved bytes, the number of files optimized
// for as long as the badge text stays. Without a session bus it does nothing.
class LauncherBadge : public QObject {
    Q_OBJECT
public:
    static inline const QString desktopId = QStringLiteral(PRESSLY_APP_ID ".desktop");

    explicit LauncherBadge(const JobQueue& queue, QObject* parent = nullptr);

private:
    void update();
    void send(qint64 count, bool visible);

    const JobQueue& queue_;
};
