#include "workers/JpegMetadata.h"

#include "platform/ImageIO.h"

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

} // namespace

JpegMetadata JpegMetadata::read(const QString& path)
{
    const auto header = ImageIO::header(path);
    return header ? JpegMetadata{header->orientation, header->iccProfile} : JpegMetadata{};
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
