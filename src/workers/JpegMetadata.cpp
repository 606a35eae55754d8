// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/JpegMetadata.h"

#include "platform/ImageIO.h"

#include <QtEndian>

namespace {

// A big-endian 32-bit number, 0 where the bytes end.
quint32 readUInt(const QByteArray& bytes, qsizetype at)
{
    return at >= 0 && at + 4 <= bytes.size() ? qFromBigEndian<quint32>(bytes.constData() + at) : 0;
}

} // namespace

JpegMetadata JpegMetadata::read(const QString& path)
{
    const auto header = ImageIO::header(path);
    return header ? JpegMetadata{header->orientation, header->iccProfile} : JpegMetadata{};
}

bool JpegMetadata::isSrgb(const QByteArray& profile)
{
    const int count = int(readUInt(profile, 128));
    for (int i = 0; i < count && i < 1000; ++i) {
        const qsizetype entry = 132 + qsizetype(i) * 12;
        if (profile.mid(entry, 4) != "desc")
            continue;
        const QByteArray description = profile.mid(readUInt(profile, entry + 4), readUInt(profile, entry + 8));
        return description.contains("sRGB") || description.contains(QByteArray("\0s\0R\0G\0B", 8));
    }
    return false;
}
