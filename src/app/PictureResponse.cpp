// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PictureResponse.h"

#include "app/PictureCache.h"
#include "app/PictureDecoder.h"
#include "platform/BackgroundTask.h"

#include <QMutexLocker>
#include <QThreadPool>

PictureResponse::PictureResponse(const QString& path, QSize bound, PictureCache& cache, QThreadPool& pool)
{
    shared_->response = this;
    pool.start([shared = shared_, path, bound, &cache] {
        // A picture waits its turn behind the window's drawing, like the batch's work.
        BackgroundTask::lowerCurrentThread();
        QImage image;
        QString error;
        const QString key = shared->cancelled.load() ? QString() : PictureCache::keyFor(path, bound);
        if (shared->cancelled.load())
            error = QStringLiteral("Cancelled");
        else if (key.isEmpty())
            error = QStringLiteral("The file is no longer there.");
        else if (!cache.find(key, &image)) {
            image = PictureDecoder::decode(path, bound, &error);
            if (!image.isNull())
                cache.insert(key, image);
        }
        QMutexLocker lock(&shared->mutex);
        if (shared->response)
            QMetaObject::invokeMethod(shared->response, "deliver", Qt::QueuedConnection, Q_ARG(QImage, image),
                                      Q_ARG(QString, error));
    });
}

PictureResponse::~PictureResponse()
{
    QMutexLocker lock(&shared_->mutex);
    shared_->response = nullptr;
}

void PictureResponse::deliver(const QImage& image, const QString& error)
{
    image_ = image;
    error_ = image.isNull() && error.isEmpty() ? QStringLiteral("The picture could not be read.") : error;
    emit finished();
}

QQuickTextureFactory* PictureResponse::textureFactory() const
{
    return QQuickTextureFactory::textureFactoryForImage(image_);
}
