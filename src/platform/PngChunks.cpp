// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PngChunks.h"

#include <QFile>
#include <QtEndian>

#include <optional>

bool PngChunks::walk(QIODevice& device, const std::function<bool(const Chunk&)>& visit)
{
    if (!device.seek(0) || device.read(8) != QByteArrayView("\x89PNG\r\n\x1a\n", 8))
        return false;
    for (qint64 offset = 8;;) {
        if (!device.seek(offset))
            return true;
        const QByteArray header = device.read(8);
        if (header.size() < 8)
            return true;
        const Chunk chunk{header.mid(4), offset, qFromBigEndian<quint32>(header.constData())};
        if (!visit(chunk) || chunk.type == "IEND")
            return true;
        offset += 12 + qint64(chunk.length);
    }
}

namespace {

std::optional<PngChunks::Chunk> locate(QFile& file, QByteArrayView type, bool beforeImageData)
{
    std::optional<PngChunks::Chunk> found;
    PngChunks::walk(file, [&](const PngChunks::Chunk& chunk) {
        if (chunk.type == type)
            found = chunk;
        return !found && !(beforeImageData && chunk.type == "IDAT");
    });
    return found;
}

} // namespace

bool PngChunks::contains(const QString& path, QByteArrayView type, bool beforeImageData)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && locate(file, type, beforeImageData);
}

QByteArray PngChunks::find(const QString& path, QByteArrayView type, bool beforeImageData)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto chunk = locate(file, type, beforeImageData);
    // A length the file cannot hold is never allocated.
    const qint64 size = chunk ? 12 + qint64(chunk->length) : 0;
    if (!chunk || chunk->offset + size > file.size() || !file.seek(chunk->offset))
        return {};
    return file.read(size);
}
