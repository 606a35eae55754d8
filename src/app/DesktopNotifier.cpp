// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DesktopNotifier.h"

#include "app/LauncherBadge.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QWindow>

#include <algorithm>

bool DesktopNotifier::windowOutOfView()
{
    if (QGuiApplication::applicationState() != Qt::ApplicationActive)
        return true;
    const auto windows = QGuiApplication::topLevelWindows();
    return std::all_of(windows.begin(), windows.end(), [](const QWindow* window) {
        return !window->isVisible() || (window->windowStates() & Qt::WindowMinimized);
    });
}

void DesktopNotifier::notify(const QString& summary, const QString& body)
{
    auto bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    auto call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QString desktopEntry = LauncherBadge::desktopId;
    desktopEntry.chop(int(sizeof ".desktop") - 1);
    const QVariantMap hints{{QStringLiteral("desktop-entry"), desktopEntry}};
    call << QStringLiteral("Pressly Pro") << uint(0) << desktopEntry << summary << body << QStringList() << hints
         << int(-1);
    // Never waits for the answer: a slow or missing daemon must not stall the window.
    bus.call(call, QDBus::NoBlock);
}
