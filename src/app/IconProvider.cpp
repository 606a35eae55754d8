// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/IconProvider.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

IconProvider::IconProvider() : QQuickImageProvider(QQuickImageProvider::Image)
{
}

QImage IconProvider::requestImage(const QString& id, QSize* size, const QSize& requestedSize)
{
    const QString name = id.section(QLatin1Char('/'), 0, 0);
    const QString color = id.section(QLatin1Char('/'), 1);
    QFile file(QStringLiteral(":/icons/%1.svg").arg(name));
    const QSize side = requestedSize.isValid() ? requestedSize : QSize(32, 32);
    QImage image(side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray svg = file.readAll();
        svg.replace("currentColor", QByteArray("#") + (color.isEmpty() ? QByteArray("000000") : color.toLatin1()));
        QSvgRenderer renderer(svg);
        QPainter painter(&image);
        renderer.render(&painter);
    }
    if (size)
        *size = side;
    return image;
}
