// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/IOFile.h"

#include <QFile>
#include <QFileInfo>

IOFile::IOFile(QUrl path, IOFileType fileType, qint64 byteSize)
    : path(std::move(path)), fileType(fileType), byteSize(byteSize)
{
}

IOFile::Ptr IOFile::read(const QUrl& path)
{
    // The kind is decided by the leading bytes alone, so only those are read;
    // the size is the file's length at this moment.
    // Only regular files: opening a named pipe or a device would block or
    // never end.
    if (!QFileInfo(path.toLocalFile()).isFile())
        return nullptr;
    QFile file(path.toLocalFile());
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray head = file.read(IOFileTypes::contentProbeLength);
    if (file.error() != QFileDevice::NoError)
        return nullptr;
    const qint64 total = file.size();
    auto type = IOFileTypes::fromContent(head);
    if (!type)
        type = IOFileTypes::fromExtension(QFileInfo(path.toLocalFile()).suffix());
    if (!type)
        return nullptr;
    return std::make_shared<IOFile>(path, *type, total);
}
