// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QQuickItem>
#include <QQuickWindow>

// Items made by Loaders and Repeaters sit outside the QObject tree: walk the items.
namespace SceneItems {
inline QList<QQuickItem*> findAll(const QQuickWindow& window, const char* name)
{
    QList<QQuickItem*> found;
    QList<QQuickItem*> pending{window.contentItem()};
    while (!pending.isEmpty()) {
        QQuickItem* item = pending.takeLast();
        if (item->objectName() == QLatin1String(name))
            found.append(item);
        pending.append(item->childItems());
    }
    return found;
}

inline QQuickItem* find(const QQuickWindow& window, const char* name)
{
    return findAll(window, name).value(0, nullptr);
}
} // namespace SceneItems
