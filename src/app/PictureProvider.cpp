// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PictureProvider.h"

#include "app/PictureResponse.h"

#include <QUrl>

PictureProvider::PictureProvider(qint64 cacheBytes, int threads) : cache_(cacheBytes)
{
    pool_.setMaxThreadCount(threads);
}

PictureProvider::~PictureProvider()
{
    pool_.clear();
    pool_.waitForDone();
}

QString PictureProvider::pathOf(const QString& id)
{
    const QString encoded = id.section(QLatin1Char('#'), 0, 0);
    return QUrl(QUrl::fromPercentEncoding(encoded.toUtf8())).toLocalFile();
}

QQuickImageResponse* PictureProvider::requestImageResponse(const QString& id, const QSize& requestedSize)
{
    const QSize bound(requestedSize.width() > 0 ? requestedSize.width() : 256,
                      requestedSize.height() > 0 ? requestedSize.height() : 256);
    return new PictureResponse(pathOf(id), bound, cache_, pool_);
}
