// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCache>
#include <QImage>
#include <QMutex>
#include <QString>

// Decoded pictures, least recently used out first once their pixels pass
// `maxBytes`. Safe from several threads.
class PictureCache {
public:
    explicit PictureCache(qint64 maxBytes);

    // A key that changes when the file at `path` is replaced or edited.
    static QString keyFor(const QString& path, QSize bound);

    bool find(const QString& key, QImage* image);
    void insert(const QString& key, const QImage& image);
    qint64 bytes() const;

private:
    mutable QMutex mutex_;
    QCache<QString, QImage> images_;
};
