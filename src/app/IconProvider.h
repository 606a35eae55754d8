#pragma once

#include <QQuickImageProvider>

// Our symbols in any colour: "image://icon/<name>/<rrggbb>". The SVGs say
// currentColor, which is replaced before drawing, so no shader is needed.
class IconProvider : public QQuickImageProvider {
public:
    IconProvider();
    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;
};
