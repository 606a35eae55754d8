// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

class QIODevice;

// The chunks of a PNG, walked by their headers alone: a chunk's data is read
// only when it is asked for.
class PngChunks {
public:
    struct Chunk {
        QByteArray type;
        qint64 offset = 0; // of its length field
        quint32 length = 0; // of its data
    };

    // Calls `visit` for each chunk in order until it answers false, after
    // IEND, or where the device ends. False when it holds no PNG signature.
    static bool walk(QIODevice& device, const std::function<bool(const Chunk&)>& visit);

    // Whether the PNG at `path` has a chunk of `type`, by its header alone.
    // With `beforeImageData` the search ends at IDAT.
    static bool contains(const QString& path, QByteArrayView type, bool beforeImageData);
    // The first such chunk, whole (length, type, data, CRC), or empty when
    // there is none or the file ends inside it.
    static QByteArray find(const QString& path, QByteArrayView type, bool beforeImageData);
};
