// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QMutex>
#include <QQuickImageResponse>
#include <QSize>
#include <QString>

#include <atomic>
#include <memory>

class PictureCache;
class QThreadPool;

// One asynchronous picture request: decoded on `pool`, never on the event
// loop. A request cancelled before its turn (a card scrolled away) decodes
// nothing.
class PictureResponse : public QQuickImageResponse {
    Q_OBJECT
public:
    PictureResponse(const QString& path, QSize bound, PictureCache& cache, QThreadPool& pool);
    ~PictureResponse() override;

    QQuickTextureFactory* textureFactory() const override;
    QString errorString() const override { return error_; }
    void cancel() override { shared_->cancelled.store(true); }

private:
    Q_INVOKABLE void deliver(const QImage& image, const QString& error);

    QImage image_;
    QString error_;
    // What the pool thread may touch: it posts to the response only while it lives.
    struct Shared {
        QMutex mutex;
        PictureResponse* response = nullptr;
        std::atomic_bool cancelled = false;
    };
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
};
