// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileLock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

std::shared_ptr<FileLock> FileLock::take(const QString& path, bool shared, Outcome* outcome)
{
    // Never waits: not for a writer of a named pipe, not for the other program.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        *outcome = errno == ENOENT ? Outcome::missing : Outcome::failed;
        return nullptr;
    }
    return lock(descriptor, shared, outcome);
}

std::shared_ptr<FileLock> FileLock::takeCreating(const QString& path, Outcome* outcome)
{
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0) {
        *outcome = Outcome::failed;
        return nullptr;
    }
    return lock(descriptor, false, outcome);
}

std::shared_ptr<FileLock> FileLock::lock(int descriptor, bool shared, Outcome* outcome)
{
    if (::flock(descriptor, (shared ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
        *outcome = errno == EWOULDBLOCK ? Outcome::heldElsewhere : Outcome::failed;
        ::close(descriptor);
        return nullptr;
    }
    *outcome = Outcome::taken;
    return std::shared_ptr<FileLock>(new FileLock(descriptor));
}

FileLock::~FileLock()
{
    ::close(descriptor_);
}
