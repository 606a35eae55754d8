// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/PictureCache.h"

#include <QQuickAsyncImageProvider>
#include <QThreadPool>

// "image://picture/<percent-encoded file URL>[#anything]": the file's
// picture, decoded off the event loop and fitted into the requested size
// (256 by 256 when none is asked for). Decoded pictures are kept up to a
// fixed number of bytes.
class PictureProvider : public QQuickAsyncImageProvider {
public:
    explicit PictureProvider(qint64 cacheBytes = 48ll * 1024 * 1024, int threads = 2);
    ~PictureProvider() override;

    QQuickImageResponse* requestImageResponse(const QString& id, const QSize& requestedSize) override;
    static QString pathOf(const QString& id);

private:
    PictureCache cache_;
    QThreadPool pool_;
};
