// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PrivateStorage.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

void PrivateStorage::makeFolder(const QString& folder)
{
    QDir().mkpath(folder);
    ::chmod(QFile::encodeName(folder).constData(), 0700);
}

void PrivateStorage::makeFile(const QString& file)
{
    const QByteArray path = QFile::encodeName(file);
    // Created private, never readable by others for a moment.
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0) {
        ::fchmod(fd, 0600);
        ::close(fd);
    }
}
