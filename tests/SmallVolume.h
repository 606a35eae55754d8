// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TestSupport.h"

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

// A small tmpfs of its own for one test, so a full disk or a lack of inodes is
// real. Mounting needs root: without it `why()` says so and tests skip.
class SmallVolume {
public:
    explicit SmallVolume(const char* options = "size=1m,nr_inodes=256")
    {
        if (::mount("tmpfs", QFile::encodeName(holder_.path()).constData(), "tmpfs", 0, options) == 0)
            mounted_ = true;
        else
            why_ = QStringLiteral("no tmpfs could be mounted here (%1)").arg(QString::fromLocal8Bit(strerror(errno)));
    }
    ~SmallVolume()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(holder_.path()).constData(), MNT_DETACH);
    }
    SmallVolume(const SmallVolume&) = delete;
    SmallVolume& operator=(const SmallVolume&) = delete;

    QString why() const { return why_; }
    QString path() const { return holder_.path(); }

    // Takes space and inodes until only `bytes` and `inodes` are free.
    void fillLeaving(qint64 bytes, qint64 inodes)
    {
        const QByteArray root = QFile::encodeName(path());
        struct statvfs info { };
        ::statvfs(root.constData(), &info);
        for (qint64 n = 0; qint64(info.f_ffree) > inodes + 1; ++n, ::statvfs(root.constData(), &info))
            TestSupport::writeFile(path() + QStringLiteral("/.inode%1").arg(n), {});
        const qint64 spare = qint64(info.f_bavail) * qint64(info.f_bsize) - bytes;
        TestSupport::writeFile(path() + QStringLiteral("/.filler"), QByteArray(std::max<qint64>(spare, 0), 'x'));
    }

private:
    QTemporaryDir holder_;
    bool mounted_ = false;
    QString why_;
};
