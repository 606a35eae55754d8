#include "workers/PngMetadataChunks.h"

#include <QFile>
#include <QSaveFile>

namespace {

const QByteArray signature("\x89PNG\r\n\x1a\n", 8);

quint32 lengthAt(const QByteArray& bytes, qsizetype at)
{
    return (quint32(quint8(bytes[at])) << 24) | (quint32(quint8(bytes[at + 1])) << 16)
           | (quint32(quint8(bytes[at + 2])) << 8) | quint32(quint8(bytes[at + 3]));
}

bool isMetadata(const QByteArray& type) { return type == "tEXt" || type == "zTXt" || type == "iTXt" || type == "eXIf"; }

struct Layout {
    QByteArrayList metadata;
    qsizetype firstImageData = -1;
    bool valid = false;
};

Layout layoutOf(const QByteArray& bytes)
{
    Layout layout;
    if (!bytes.startsWith(signature))
        return layout;
    qsizetype pos = signature.size();
    while (pos + 12 <= bytes.size()) {
        const qsizetype length = lengthAt(bytes, pos);
        const QByteArray type = bytes.mid(pos + 4, 4);
        if (pos + 12 + length > bytes.size())
            return layout;
        if (type == "IDAT" && layout.firstImageData < 0)
            layout.firstImageData = pos;
        if (isMetadata(type))
            layout.metadata.append(bytes.mid(pos, 12 + length));
        if (type == "IEND") {
            layout.valid = layout.firstImageData > 0;
            return layout;
        }
        pos += 12 + length;
    }
    return layout;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QByteArrayList PngMetadataChunks::of(const QString& path) { return layoutOf(readAll(path)).metadata; }

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
