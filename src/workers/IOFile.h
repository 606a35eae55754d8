// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "workers/IOFileType.h"

#include <QUrl>

#include <memory>

// One image file as it was read: where it is, its kind and its size then.
class IOFile {
public:
    using Ptr = std::shared_ptr<const IOFile>;

    // Nothing when the file cannot be read or its kind is not recognised.
    // Reads from disk: call it off the event-loop thread for large batches.
    static Ptr read(const QUrl& path);

    IOFile(QUrl path, IOFileType fileType, qint64 byteSize);
    virtual ~IOFile() = default;

    const QUrl path;
    const IOFileType fileType;
    const qint64 byteSize;

    QString localPath() const { return path.toLocalFile(); }
};
