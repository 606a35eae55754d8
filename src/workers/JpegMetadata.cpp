#include "workers/JpegMetadata.h"

#include <QFile>

#include <map>

namespace {

quint32 readUInt(const QByteArray& bytes, qsizetype at, int size, bool bigEndian)
{
    if (at < 0 || at + size > bytes.size())
        return 0;
    quint32 value = 0;
    for (int i = 0; i < size; ++i) {
        const quint32 byte = quint8(bytes[at + (bigEndian ? i : size - 1 - i)]);
        value = (value << 8) | byte;
    }
    return value;
}

// IFD0's orientation tag (0x0112) of an APP1 "Exif" payload.
int exifOrientation(const QByteArray& payload)
{
    const QByteArray tiff = payload.mid(6);
    if (tiff.size() < 8)
        return 1;
    const bool bigEndian = tiff.startsWith("MM");
    if (!bigEndian && !tiff.startsWith("II"))
        return 1;
    const qsizetype ifd = readUInt(tiff, 4, 4, bigEndian);
    const int count = int(readUInt(tiff, ifd, 2, bigEndian));
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = ifd + 2 + qsizetype(i) * 12;
        if (entry + 12 > tiff.size())
            break;
        if (readUInt(tiff, entry, 2, bigEndian) != 0x0112)
            continue;
        const int value = int(readUInt(tiff, entry + 8, 2, bigEndian));
        return value >= 1 && value <= 8 ? value : 1;
    }
    return 1;
}

} // namespace

JpegMetadata JpegMetadata::read(const QString& path)
{
    JpegMetadata metadata;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(2) != QByteArray("\xFF\xD8", 2))
        return metadata;
    std::map<int, QByteArray> iccChunks;
    bool exifSeen = false;
    for (;;) {
        const QByteArray marker = file.read(2);
        if (marker.size() < 2 || quint8(marker[0]) != 0xFF)
            break;
        const quint8 type = quint8(marker[1]);
        if (type == 0xFF) { // fill byte
            file.seek(file.pos() - 1);
            continue;
        }
        if (type == 0xDA || type == 0xD9) // image data or end: no more metadata
            break;
        if (type == 0x01 || (type >= 0xD0 && type <= 0xD7))
            continue;
        const QByteArray lengthBytes = file.read(2);
        const int length = int(readUInt(lengthBytes, 0, 2, true));
        if (lengthBytes.size() < 2 || length < 2)
            break;
        const QByteArray payload = file.read(length - 2);
        if (payload.size() < length - 2)
            break;
        if (type == 0xE1 && !exifSeen && payload.startsWith(QByteArray("Exif\0\0", 6))) {
            exifSeen = true;
            metadata.orientation = exifOrientation(payload);
        } else if (type == 0xE2 && payload.startsWith(QByteArray("ICC_PROFILE\0", 12)) && payload.size() > 14) {
            iccChunks[quint8(payload[12])] += payload.mid(14);
        }
    }
    for (const auto& [sequence, chunk] : iccChunks)
        metadata.iccProfile += chunk;
    return metadata;
}

bool JpegMetadata::isSrgb(const QByteArray& profile)
{
    const int count = int(readUInt(profile, 128, 4, true));
    for (int i = 0; i < count && i < 1000; ++i) {
        const qsizetype entry = 132 + qsizetype(i) * 12;
        if (profile.mid(entry, 4) != "desc")
            continue;
        const QByteArray description = profile.mid(readUInt(profile, entry + 4, 4, true),
                                                    readUInt(profile, entry + 8, 4, true));
        return description.contains("sRGB") || description.contains(QByteArray("\0s\0R\0G\0B", 8));
    }
    return false;
}
