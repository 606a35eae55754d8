// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/IOFileType.h"

#include <QStringDecoder>

namespace {

bool startsWith(QByteArrayView bytes, qsizetype offset, QByteArrayView prefix)
{
    return bytes.size() >= offset + prefix.size() && bytes.sliced(offset, prefix.size()) == prefix;
}

bool isHeifBrand(QByteArrayView bytes)
{
    if (bytes.size() < 12 || !startsWith(bytes, 4, "ftyp"))
        return false;
    const QByteArrayView brand = bytes.sliced(8, 4);
    for (char c : brand)
        if (static_cast<unsigned char>(c) > 0x7F)
            return false;
    return brand == "heic" || brand == "heix" || brand == "mif1";
}

bool looksLikeSvg(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes.first(std::min(bytes.size(), IOFileTypes::contentProbeLength)));
    if (decoder.hasError())
        text.clear();
    const QString lower = text.toLower();
    if (lower.contains(QLatin1String("<svg")))
        return true;
    return text.contains(QLatin1String("<?xml")) && lower.contains(QLatin1String("svg"));
}

} // namespace

namespace IOFileTypes {

std::optional<IOFileType> fromContent(QByteArrayView bytes)
{
    if (bytes.size() < 8)
        return std::nullopt;
    if (startsWith(bytes, 0, "\x89PNG\r\n\x1a\n"))
        return IOFileType::png;
    if (startsWith(bytes, 0, "\xFF\xD8\xFF"))
        return IOFileType::jpeg;
    if (startsWith(bytes, 0, "GIF8") && (bytes[4] == '9' || bytes[4] == '7') && bytes[5] == 'a')
        return IOFileType::gif;
    if (bytes.size() >= 12 && startsWith(bytes, 0, "RIFF") && startsWith(bytes, 8, "WEBP"))
        return IOFileType::webp;
    if (isHeifBrand(bytes))
        return IOFileType::heic;
    if (looksLikeSvg(bytes))
        return IOFileType::svg;
    return std::nullopt;
}

std::optional<IOFileType> fromExtension(const QString& extension)
{
    const QString ext = extension.toLower();
    if (ext == QLatin1String("png"))
        return IOFileType::png;
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return IOFileType::jpeg;
    if (ext == QLatin1String("gif"))
        return IOFileType::gif;
    if (ext == QLatin1String("svg"))
        return IOFileType::svg;
    if (ext == QLatin1String("webp"))
        return IOFileType::webp;
    if (ext == QLatin1String("heic") || ext == QLatin1String("heif"))
        return IOFileType::heic;
    if (ext == QLatin1String("dng"))
        return IOFileType::dng;
    return std::nullopt;
}

std::optional<IOFileType> fromRawValue(int raw)
{
    if (raw < 1 || raw > 7)
        return std::nullopt;
    return static_cast<IOFileType>(raw);
}

int rawValue(IOFileType type)
{
    return static_cast<int>(type);
}

QString name(IOFileType type)
{
    switch (type) {
    case IOFileType::png:
        return QStringLiteral("png");
    case IOFileType::jpeg:
        return QStringLiteral("jpeg");
    case IOFileType::gif:
        return QStringLiteral("gif");
    case IOFileType::svg:
        return QStringLiteral("svg");
    case IOFileType::webp:
        return QStringLiteral("webp");
    case IOFileType::heic:
        return QStringLiteral("heic");
    case IOFileType::dng:
        return QStringLiteral("dng");
    }
    return {};
}

} // namespace IOFileTypes
