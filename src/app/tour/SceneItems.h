#pragma once

#include <QQuickItem>
#include <QQuickWindow>

namespace SceneItems {
// The stack's items sit in Loaders, outside the QObject tree: walk the items.
inline QQuickItem* find(const QQuickWindow& window, const char* name)
{
    QList<QQuickItem*> items{window.contentItem()};
    while (!items.isEmpty()) {
        QQuickItem* item = items.takeLast();
        if (item->objectName() == QLatin1String(name))
            return item;
        items.append(item->childItems());
    }
    return nullptr;
}
} // namespace SceneItems
