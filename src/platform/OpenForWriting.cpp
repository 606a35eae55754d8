// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/OpenForWriting.h"

#include <QFile>
#include <QHash>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct FileId {
    dev_t device;
    ino_t inode;
    bool operator==(const FileId&) const = default;
};

size_t qHash(const FileId& id, size_t seed = 0)
{
    return ::qHash(quint64(id.inode), seed) ^ ::qHash(quint64(id.device), seed);
}

bool isNumber(const char* name)
{
    return name[0] >= '0' && name[0] <= '9';
}

// The access mode in the descriptor's "flags:" line (octal).
bool writable(int fdinfoDir, const char* fd)
{
    const int file = ::openat(fdinfoDir, fd, O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    char text[256];
    const ssize_t length = ::read(file, text, sizeof text - 1);
    ::close(file);
    if (length <= 0)
        return false;
    text[length] = '\0';
    const char* flags = std::strstr(text, "flags:");
    return flags && (std::strtoul(flags + 6, nullptr, 8) & O_ACCMODE) != O_RDONLY;
}

// Adds the paths of `wanted` that one process holds open for writing.
void scanProcess(int procDir, const char* pid, const QHash<FileId, QString>& wanted, QSet<QString>& held)
{
    const int fds = ::openat(procDir, (std::string(pid) + "/fd").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fds < 0)
        return;
    const int infos = ::openat(procDir, (std::string(pid) + "/fdinfo").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* list = ::fdopendir(fds);
    while (const dirent* entry = list ? ::readdir(list) : nullptr) {
        struct stat target { };
        if (!isNumber(entry->d_name) || ::fstatat(fds, entry->d_name, &target, 0) != 0 || !S_ISREG(target.st_mode))
            continue;
        const auto found = wanted.constFind({target.st_dev, target.st_ino});
        if (found != wanted.cend() && infos >= 0 && writable(infos, entry->d_name))
            held.insert(*found);
    }
    list ? ::closedir(list) : ::close(fds);
    if (infos >= 0)
        ::close(infos);
}

} // namespace

QSet<QString> OpenForWriting::among(const QStringList& paths)
{
    QHash<FileId, QString> wanted;
    for (const QString& path : paths) {
        struct stat info { };
        if (::stat(QFile::encodeName(path).constData(), &info) == 0)
            wanted.insert({info.st_dev, info.st_ino}, path);
    }
    QSet<QString> held;
    if (wanted.isEmpty())
        return held;
    const int procDir = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* processes = procDir >= 0 ? ::fdopendir(::dup(procDir)) : nullptr;
    while (const dirent* entry = processes ? ::readdir(processes) : nullptr)
        if (isNumber(entry->d_name))
            scanProcess(procDir, entry->d_name, wanted, held);
    if (processes)
        ::closedir(processes);
    if (procDir >= 0)
        ::close(procDir);
    return held;
}
