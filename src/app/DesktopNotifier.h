// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Desktop notifications (org.freedesktop.Notifications on the session bus),
// for news the user cannot see in the window. Without a bus, nothing.
class DesktopNotifier {
public:
    // False while a window of ours is active and not minimised.
    static bool windowOutOfView();
    static void notify(const QString& summary, const QString& body = {});
};
