// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PictureCache.h"

#include "jobs/FileOperations.h"

#include <QMutexLocker>

PictureCache::PictureCache(qint64 maxBytes) : images_(maxBytes)
{
}

QString PictureCache::keyFor(const QString& path, QSize bound)
{
    const auto identity = FileOperations::identityOf(path);
    if (!identity)
        return {};
    return QStringLiteral("%1|%2x%3|%4|%5|%6|%7")
        .arg(path)
        .arg(bound.width())
        .arg(bound.height())
        .arg(identity->inode)
        .arg(identity->size)
        .arg(identity->modifiedNs)
        .arg(identity->changedNs);
}

bool PictureCache::find(const QString& key, QImage* image)
{
    QMutexLocker lock(&mutex_);
    const QImage* found = images_.object(key);
    if (found && image)
        *image = *found;
    return found != nullptr;
}

void PictureCache::insert(const QString& key, const QImage& image)
{
    QMutexLocker lock(&mutex_);
    // QCache drops (and deletes) what costs more than it holds.
    images_.insert(key, new QImage(image), std::max<qint64>(1, image.sizeInBytes()));
}

qint64 PictureCache::bytes() const
{
    QMutexLocker lock(&mutex_);
    return images_.totalCost();
}
