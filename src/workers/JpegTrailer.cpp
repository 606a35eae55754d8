// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/JpegTrailer.h"

#include <QFile>
#include <QtEndian>

#include <cstring>

namespace {

bool isStandalone(quint8 marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// Past the entropy-coded data that starts at `pos`: at the next marker that is
// neither a stuffed zero nor a restart marker.
qsizetype skipEntropyData(const QByteArray& bytes, qsizetype pos)
{
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    while (pos < size) {
        const void* hit = std::memchr(data + pos, 0xFF, size_t(size - pos));
        if (!hit)
            return size;
        pos = static_cast<const char*>(hit) - data;
        if (pos + 1 >= size)
            return size;
        const quint8 next = quint8(data[pos + 1]);
        if (next == 0x00 || (next >= 0xD0 && next <= 0xD7))
            pos += 2;
        else if (next == 0xFF)
            ++pos; // fill byte before a marker
        else
            return pos;
    }
    return size;
}

} // namespace

qsizetype JpegTrailer::imageEnd(const QByteArray& bytes)
{
    const qsizetype size = bytes.size();
    if (size < 4 || quint8(bytes[0]) != 0xFF || quint8(bytes[1]) != 0xD8)
        return -1;
    qsizetype pos = 2;
    while (pos < size) {
        if (quint8(bytes[pos]) != 0xFF)
            return -1;
        while (pos < size && quint8(bytes[pos]) == 0xFF)
            ++pos;
        if (pos >= size)
            return -1;
        const quint8 marker = quint8(bytes[pos++]);
        if (marker == 0xD9)
            return pos;
        if (isStandalone(marker))
            continue;
        if (marker == 0xD8 || marker == 0x00 || pos + 2 > size)
            return -1;
        const qsizetype length = qFromBigEndian<quint16>(bytes.constData() + pos);
        if (length < 2 || pos + length > size)
            return -1;
        pos += length;
        if (marker == 0xDA)
            pos = skipEntropyData(bytes, pos);
    }
    return -1;
}

QByteArray JpegTrailer::of(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const qsizetype end = imageEnd(bytes);
    return end < 0 ? QByteArray() : bytes.mid(end);
}

bool JpegTrailer::carryOver(const QByteArray& trailer, const QString& output)
{
    QFile file(output);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QByteArray bytes = file.readAll();
    const qsizetype end = imageEnd(bytes);
    if (end < 0)
        return false;
    if (end < bytes.size())
        return bytes.mid(end) == trailer;
    return file.write(trailer) == trailer.size() && file.flush();
}
