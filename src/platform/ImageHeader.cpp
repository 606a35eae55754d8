// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Before any Qt header: glib uses "signals" as a name, Qt defines it as a keyword.
#include <vips/vips8>

#include "platform/ImageHeader.h"
#include "platform/ImageIO.h"

#include <QCoreApplication>
#include <QFile>
#include <QScopeGuard>
#include <QtEndian>

#include <algorithm>

namespace {

bool isGif(QFile& file)
{
    const QByteArray signature = file.peek(6);
    return signature == "GIF87a" || signature == "GIF89a";
}

int readByte(QFile& file)
{
    char byte = 0;
    return file.getChar(&byte) ? int(quint8(byte)) : -1;
}

qint64 readWord(QFile& file)
{
    const QByteArray bytes = file.read(2);
    return bytes.size() == 2 ? qint64(qFromLittleEndian<quint16>(bytes.constData())) : -1;
}

// Skips a colour table whose presence and size the flags byte gives.
bool skipColourTable(QFile& file, int flags)
{
    if ((flags & 0x80) == 0)
        return true;
    const qint64 bytes = 3 * (qint64(2) << (flags & 0x07));
    return file.skip(bytes) == bytes;
}

// Data sub-blocks up to their empty terminator; false where the file ends first.
bool skipSubBlocks(QFile& file)
{
    for (;;) {
        const int length = readByte(file);
        if (length <= 0)
            return length == 0;
        if (file.skip(length) != length)
            return false;
    }
}

QString lastVipsError()
{
    const QStringList lines =
        QString::fromUtf8(vips_error_buffer()).trimmed().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    vips_error_clear();
    return lines.isEmpty() ? QStringLiteral("no image header") : lines.last().trimmed();
}

} // namespace

std::optional<ImageHeader::Size> ImageHeader::read(const QString& path, QString* why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = file.errorString();
        return std::nullopt;
    }
    return isGif(file) ? readGif(path, why) : readWithLibvips(path, why);
}

QString ImageHeader::refusal(const Size& size)
{
    if (size.pixels() <= pixelLimit)
        return {};
    const QString limit = QCoreApplication::translate("ImageHeader", "more than this app handles (%1 megapixels)")
                              .arg(pixelLimit / 1'000'000);
    if (size.frames > 1)
        return QCoreApplication::translate("ImageHeader", "%1 frames of %2 × %3 pixels are %4")
            .arg(QString::number(size.frames), QString::number(size.width), QString::number(size.height), limit);
    return QCoreApplication::translate("ImageHeader", "%1 × %2 pixels is %3")
        .arg(QString::number(size.width), QString::number(size.height), limit);
}

std::optional<ImageHeader::Size> ImageHeader::readGif(const QString& path, QString* why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.skip(6) != 6) {
        *why = QStringLiteral("no GIF header");
        return std::nullopt;
    }
    Size size{readWord(file), readWord(file), 0};
    const int flags = readByte(file);
    if (size.width < 0 || size.height < 0 || flags < 0 || file.skip(2) != 2 || !skipColourTable(file, flags)) {
        *why = QStringLiteral("the GIF header is incomplete");
        return std::nullopt;
    }
    // A damaged tail ends the walk: what was declared so far still counts.
    for (int introducer = readByte(file); introducer != -1 && introducer != 0x3B; introducer = readByte(file)) {
        if (introducer == 0x21) {
            if (readByte(file) < 0 || !skipSubBlocks(file))
                break;
            continue;
        }
        if (introducer != 0x2C)
            break;
        const qint64 left = readWord(file), top = readWord(file), width = readWord(file), height = readWord(file);
        const int frameFlags = readByte(file);
        if (height < 0 || frameFlags < 0)
            break;
        size.width = std::max(size.width, left + width);
        size.height = std::max(size.height, top + height);
        ++size.frames;
        if (!skipColourTable(file, frameFlags) || readByte(file) < 0 || !skipSubBlocks(file))
            break;
    }
    size.frames = std::max<qint64>(size.frames, 1);
    return size;
}

std::optional<ImageHeader::Size> ImageHeader::readWithLibvips(const QString& path, QString* why)
{
    if (!ImageIO::initialize()) {
        *why = QStringLiteral("the image library cannot start");
        return std::nullopt;
    }
    // libvips' per-thread buffers are freed when a pooled thread is done with it.
    const auto cleanup = qScopeGuard([] { vips_thread_shutdown(); });
    // Opening reads the header only; pixels are decoded when first asked for.
    VipsImage* image = vips_image_new_from_file(path.toLocal8Bit().constData(), "access", VIPS_ACCESS_SEQUENTIAL,
                                                nullptr);
    if (!image) {
        *why = lastVipsError();
        return std::nullopt;
    }
    const auto unref = qScopeGuard([image] { g_object_unref(image); });
    int pages = 1;
    if (vips_image_get_typeof(image, "n-pages") != 0)
        vips_image_get_int(image, "n-pages", &pages);
    // An animated PNG's further frames are never decoded together: only pages count.
    return Size{vips_image_get_width(image), vips_image_get_height(image), std::max(1, pages)};
}
