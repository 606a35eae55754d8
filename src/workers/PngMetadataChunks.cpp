// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/PngMetadataChunks.h"

#include "platform/PngChunks.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>

namespace {

bool isMetadata(const QByteArray& type)
{
    return type == "tEXt" || type == "zTXt" || type == "iTXt" || type == "eXIf";
}

struct Layout {
    QByteArrayList metadata;
    qsizetype firstImageData = -1;
    bool valid = false;
};

Layout layoutOf(QByteArray bytes)
{
    Layout layout;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    PngChunks::walk(buffer, [&](const PngChunks::Chunk& chunk) {
        const qint64 size = 12 + qint64(chunk.length);
        if (chunk.offset + size > bytes.size())
            return false;
        if (chunk.type == "IDAT" && layout.firstImageData < 0)
            layout.firstImageData = chunk.offset;
        if (isMetadata(chunk.type))
            layout.metadata.append(bytes.mid(chunk.offset, size));
        layout.valid = chunk.type == "IEND" && layout.firstImageData > 0;
        return true;
    });
    return layout;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QByteArrayList PngMetadataChunks::of(const QString& path)
{
    return layoutOf(readAll(path)).metadata;
}

bool PngMetadataChunks::restore(const QString& input, const QString& output)
{
    QByteArray bytes = readAll(output);
    const Layout layout = layoutOf(bytes);
    if (!layout.valid)
        return true; // not a whole PNG: verification refuses it
    QByteArrayList present = layout.metadata;
    QByteArray missing;
    for (const QByteArray& chunk : of(input))
        if (!present.removeOne(chunk))
            missing += chunk;
    if (missing.isEmpty())
        return true;
    bytes.insert(layout.firstImageData, missing);
    QSaveFile file(output);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}
