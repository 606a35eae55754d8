// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/WebPContainer.h"

#include <QFile>
#include <QtEndian>

namespace {

constexpr int kMaxChunks = 64;

bool hasWebPHeader(QFile& file)
{
    const QByteArray header = file.read(12);
    return header.size() == 12 && header.startsWith("RIFF") && header.mid(8, 4) == "WEBP";
}

} // namespace

WebPContainer::Encoding WebPContainer::encodingOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !hasWebPHeader(file))
        return Encoding::unknown;
    // The first image chunk decides; VP8X, ICCP and ALPH may come before it.
    for (int chunk = 0; chunk < kMaxChunks; ++chunk) {
        const QByteArray header = file.read(8);
        if (header.size() < 8)
            return Encoding::unknown;
        const QByteArray type = header.left(4);
        if (type == "VP8 ")
            return Encoding::lossy;
        if (type == "VP8L")
            return Encoding::lossless;
        if (type == "ANIM" || type == "ANMF")
            return Encoding::animated;
        const quint32 size = qFromLittleEndian<quint32>(header.constData() + 4);
        if (!file.seek(file.pos() + qint64(size) + (size & 1)))
            return Encoding::unknown;
    }
    return Encoding::unknown;
}
