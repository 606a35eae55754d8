#include "platform/PngChunks.h"

#include <QFile>
#include <QtEndian>

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

QByteArray PngChunks::find(const QString& path, QByteArrayView type, bool beforeImageData)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray found;
    walk(file, [&](const Chunk& chunk) {
        if (chunk.type == type) {
            const qint64 size = 12 + qint64(chunk.length);
            if (file.seek(chunk.offset))
                found = file.read(size);
            if (found.size() != size)
                found.clear();
            return false;
        }
        return !(beforeImageData && chunk.type == "IDAT");
    });
    return found;
}
