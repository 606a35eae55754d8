// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/FileOperations.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <string_view>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace FileOperations {

namespace {

FaultHook& faultHook()
{
    static FaultHook hook;
    return hook;
}

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString fileName(const QString& path)
{
    return QFileInfo(path).fileName();
}

const QRegularExpression& replacementPattern()
{
    static const QRegularExpression pattern(QStringLiteral(
        "^\\.Pressly\\.([1-9][0-9]{0,9})\\.[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.tmp$"));
    return pattern;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) { }
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }
    // Closing can report a write that failed late (network volumes).
    int close()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

// Copies everything `in` holds and checks that it was `expected` bytes, so a
// file cut short or still growing never passes as a full copy.
std::optional<QString> copyAll(int in, int out, qint64 expected, const char* step, const QString& path)
{
    // Small pieces under a test hook, so a fault can strike half-way.
    const ssize_t piece = faultHook() ? 4096 : SSIZE_MAX;
    std::vector<char> buffer(1 << 20);
    qint64 total = 0;
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return QCoreApplication::translate("FileOperations", "it couldn’t be read (%1)").arg(reason(errno));
        }
        if (got == 0)
            break;
        const char* next = buffer.data();
        ssize_t left = got;
        while (left > 0) {
            if (injectedFault(step, path))
                return QCoreApplication::translate("FileOperations", "it couldn’t be written (%1)").arg(reason(errno));
            const ssize_t put = ::write(out, next, size_t(std::min(left, piece)));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                return QCoreApplication::translate("FileOperations", "it couldn’t be written (%1)").arg(reason(errno));
            }
            next += put;
            left -= put;
        }
        total += got;
    }
    if (total != expected)
        return QCoreApplication::translate("FileOperations", "%1 bytes were read where %2 were expected")
            .arg(total)
            .arg(expected);
    return std::nullopt;
}

std::optional<QString> openForReading(const QString& path, int* fd, qint64* size)
{
    *fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (*fd < 0)
        return reason(errno);
    struct stat info { };
    if (::fstat(*fd, &info) != 0)
        return reason(errno);
    if (!S_ISREG(info.st_mode))
        return QCoreApplication::translate("FileOperations", "it is not a regular file");
    *size = qint64(info.st_size);
    return std::nullopt;
}

constexpr const char* accessList = "system.posix_acl_access";

// What a new version carries over: the user's tags and ratings and the access
// list, never our own markers nor what only the system may set.
bool carriedOver(std::string_view name)
{
    return name == accessList || (name.starts_with("user.") && !name.starts_with("user.pressly."));
}

// Asked twice over, as a value may grow between the calls.
template <typename Call> std::optional<QByteArray> readSized(Call call)
{
    for (;;) {
        const ssize_t size = call(nullptr, 0);
        if (size < 0)
            return std::nullopt;
        QByteArray value(qsizetype(size), Qt::Uninitialized);
        const ssize_t got = call(value.data(), size_t(size));
        if (got >= 0) {
            value.truncate(qsizetype(got));
            return value;
        }
        if (errno != ERANGE)
            return std::nullopt;
    }
}

std::optional<QString> copyAttributes(const QString& original, int out)
{
    const QByteArray path = native(original);
    const auto names = readSized([&](char* list, size_t size) { return ::listxattr(path.constData(), list, size); });
    if (!names)
        return errno == ENOTSUP ? std::nullopt : std::optional(reason(errno));
    bool hasAccessList = false;
    for (qsizetype at = 0; at < names->size(); at += qsizetype(std::strlen(names->constData() + at)) + 1) {
        const char* name = names->constData() + at;
        if (!carriedOver(name))
            continue;
        const auto value = readSized(
            [&](char* data, size_t size) { return ::getxattr(path.constData(), name, data, size); });
        if (!value && errno == ENODATA)
            continue;
        if (!value || ::fsetxattr(out, name, value->constData(), size_t(value->size()), 0) != 0)
            return QStringLiteral("%1 (%2)").arg(QString::fromUtf8(name), reason(errno));
        hasAccessList = hasAccessList || std::string_view(name) == accessList;
    }
    // A list the new file took from its folder's default would grant access the original never gave.
    if (!hasAccessList && ::fremovexattr(out, accessList) != 0 && errno != ENODATA && errno != EOPNOTSUPP)
        return QStringLiteral("%1 (%2)").arg(QString::fromUtf8(accessList), reason(errno));
    return std::nullopt;
}

void syncFolderOf(const QString& path)
{
    if (injectedFault("sync-folder", path))
        return;
    const int fd = ::open(native(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void setFaultHook(FaultHook hook)
{
    faultHook() = std::move(hook);
}

bool injectedFault(const char* step, const QString& path)
{
    const FaultHook& hook = faultHook();
    if (!hook)
        return false;
    const int error = hook(step, path);
    if (error == 0)
        return false;
    errno = error;
    return true;
}

std::optional<Identity> identityOf(const QString& path)
{
    struct stat info { };
    if (::stat(native(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return identityOf(info);
}

Identity identityOf(const struct stat& info)
{
    const auto ns = [](const timespec& t) { return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec; };
    return Identity{info.st_dev, info.st_ino, qint64(info.st_size), ns(info.st_mtim), ns(info.st_ctim)};
}

QString replacementName(qint64 pid, const QString& uuid)
{
    return QStringLiteral(".Pressly.%1.%2.tmp").arg(pid).arg(uuid);
}

bool isReplacementName(const QString& name)
{
    return replacementPattern().match(name).hasMatch();
}

int removeStaleReplacements(const QString& folder)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    int removed = 0;
    const QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral(".Pressly.*.tmp")},
                                            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const auto match = replacementPattern().match(name);
        if (!match.hasMatch())
            continue;
        const QString path = dir.filePath(name);
        struct stat info { };
        if (::lstat(native(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        const qint64 pid = match.captured(1).toLongLong();
        if (pid == qint64(::getpid()))
            continue;
        const bool alive = pid <= std::numeric_limits<pid_t>::max() && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
        const bool old = now - qint64(info.st_mtim.tv_sec) > 3600;
        if ((!alive || old) && ::unlink(native(path).constData()) == 0)
            ++removed;
    }
    return removed;
}

bool existsAtPath(const QString& path)
{
    struct stat info { };
    return !path.isEmpty() && ::lstat(native(path).constData(), &info) == 0;
}

QString hardLinkReason(qint64 names)
{
    return QCoreApplication::translate("FileOperations",
                                       "it has %1 names (hard links), and a new version would part it from the others")
        .arg(names);
}

bool isSymbolicLink(const QString& path)
{
    struct stat info { };
    return !path.isEmpty() && ::lstat(native(path).constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

QString resolvedPath(const QString& path)
{
    char* resolved = ::realpath(native(path).constData(), nullptr);
    if (!resolved)
        return {};
    const QString answer = QFile::decodeName(resolved);
    std::free(resolved);
    return answer;
}

qint64 nameCount(const QString& path)
{
    struct stat info { };
    return ::stat(native(path).constData(), &info) == 0 ? qint64(info.st_nlink) : 0;
}

Failure makeDirectoryWithParents(const QString& path)
{
    const QString absolute = QDir::cleanPath(QDir(path).absolutePath());
    QString current;
    for (const QString& part : absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        current += QLatin1Char('/') + part;
        struct stat info { };
        if (::stat(native(current).constData(), &info) == 0) {
            if (S_ISDIR(info.st_mode))
                continue;
            return QCoreApplication::translate("FileOperations",
                                               "The folder “%1” couldn’t be created: “%2” is not a folder.")
                .arg(absolute, current);
        }
        if ((injectedFault("mkdir", current) || ::mkdir(native(current).constData(), 0777) != 0) && errno != EEXIST)
            return QCoreApplication::translate("FileOperations", "The folder “%1” couldn’t be created: %2")
                .arg(absolute, reason(errno));
    }
    return std::nullopt;
}

mode_t copyMode(const QString& path)
{
    struct stat info { };
    return ::stat(native(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0666;
}

Failure copyToNewFile(const QString& from, const QString& to, mode_t mode, const QString& shownName)
{
    const auto failure = [&](const QString& why) {
        return QCoreApplication::translate("FileOperations", "The file “%1” couldn’t be copied to “%2”: %3")
            .arg(shownName.isEmpty() ? fileName(from) : shownName, QFileInfo(to).absolutePath(), why);
    };
    int inFd = -1;
    qint64 size = 0;
    const auto openError = openForReading(from, &inFd, &size);
    Descriptor in(inFd);
    if (openError)
        return failure(*openError);
    if (existsAtPath(to))
        return failure(
            QCoreApplication::translate("FileOperations", "an item named “%1” already exists").arg(fileName(to)));

    // Written under a hidden name and renamed when complete: a copy cut short
    // by a crash never shows under the wanted name.
    const QString temporary = QDir(QFileInfo(to).absolutePath())
                                  .filePath(replacementName(
                                      ::getpid(), QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()));
    Descriptor out(injectedFault("create-copy", temporary)
                       ? -1
                       : ::open(native(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (!out.isOpen())
        return failure(reason(errno));
    auto copyError = copyAll(in.get(), out.get(), size, "copy", temporary);
    if (!copyError && (injectedFault("flush", temporary) || ::fsync(out.get()) != 0))
        copyError = reason(errno);
    if (!copyError && (injectedFault("close-copy", temporary) || out.close() != 0))
        copyError = reason(errno);
    if (!copyError) {
        if (auto renameError = renameWithoutReplacing(temporary, to))
            copyError = errno == EEXIST
                            ? QCoreApplication::translate("FileOperations", "an item named “%1” already exists")
                                  .arg(fileName(to))
                            : *renameError;
    }
    if (copyError) {
        ::unlink(native(temporary).constData());
        return failure(*copyError);
    }
    return std::nullopt;
}

std::optional<QString> writeReplacementBeside(const QString& original, const QString& from, QString* error)
{
    const auto fail = [&](const QString& why) -> std::optional<QString> {
        *error = QCoreApplication::translate("FileOperations", "The file “%1” couldn’t be replaced: %2")
                     .arg(fileName(original), why);
        return std::nullopt;
    };
    struct stat originalInfo { };
    if (::stat(native(original).constData(), &originalInfo) != 0)
        return fail(reason(errno));
    if (originalInfo.st_nlink > 1)
        return fail(hardLinkReason(qint64(originalInfo.st_nlink)));

    int inFd = -1;
    qint64 size = 0;
    const auto openError = openForReading(from, &inFd, &size);
    Descriptor in(inFd);
    if (openError)
        return fail(QCoreApplication::translate("FileOperations", "the optimized file “%1” couldn’t be read (%2)")
                        .arg(fileName(from), *openError));

    const QString temporary = QDir(QFileInfo(original).absolutePath())
                                  .filePath(replacementName(
                                      ::getpid(), QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()));
    Descriptor out(injectedFault("create-temp", temporary)
                       ? -1
                       : ::open(native(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!out.isOpen())
        return fail(QCoreApplication::translate("FileOperations", "no new file could be made in its folder (%1)")
                        .arg(reason(errno)));

    auto writeError = copyAll(in.get(), out.get(), size, "write-temp", temporary);
    if (!writeError) {
        // Owner first: changing it may clear set-id bits that the mode restores.
        if (::fchown(out.get(), originalInfo.st_uid, originalInfo.st_gid) != 0) {
            // Not ours to give away: the group at least; failing that it stays the user's own.
            const int groupOnly = ::fchown(out.get(), uid_t(-1), originalInfo.st_gid);
            Q_UNUSED(groupOnly)
        }
        if (injectedFault("permissions", temporary) || ::fchmod(out.get(), originalInfo.st_mode & 07777) != 0)
            writeError = QCoreApplication::translate("FileOperations", "its permissions couldn’t be kept (%1)")
                             .arg(reason(errno));
        else if (const auto failure = copyAttributes(original, out.get()))
            writeError =
                QCoreApplication::translate("FileOperations", "its attribute %1 couldn’t be kept").arg(*failure);
    }
    if (!writeError && (injectedFault("flush", temporary) || ::fsync(out.get()) != 0))
        writeError =
            QCoreApplication::translate("FileOperations", "it couldn’t be flushed to disk (%1)").arg(reason(errno));
    if (!writeError && (injectedFault("close-temp", temporary) || out.close() != 0))
        writeError = QCoreApplication::translate("FileOperations", "it couldn’t be written (%1)").arg(reason(errno));
    if (writeError) {
        ::unlink(native(temporary).constData());
        return fail(*writeError);
    }
    return temporary;
}

Failure renameWithoutReplacing(const QString& from, const QString& to)
{
    if (injectedFault("rename", to)) {
        const int error = errno;
        const QString why = reason(error);
        errno = error;
        return why;
    }
    int result = ::renameat2(AT_FDCWD, native(from).constData(), AT_FDCWD, native(to).constData(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // File systems without the flag: check first, a narrower window.
        if (existsAtPath(to))
            errno = EEXIST;
        else
            result = ::rename(native(from).constData(), native(to).constData());
    }
    if (result != 0) {
        // Callers tell a taken name from other failures by errno.
        const int error = errno;
        const QString why = reason(error);
        errno = error;
        return why;
    }
    syncFolderOf(to);
    return std::nullopt;
}

Failure restoreFromTrash(const QString& pathInTrash, const QString& path)
{
    if (injectedFault("restore", path))
        return reason(errno);
    if (auto failure = renameWithoutReplacing(pathInTrash, path))
        return failure;
    const QFileInfo trashed(pathInTrash);
    QDir trash = trashed.dir();
    if (trash.dirName() == QLatin1String("files") && trash.cdUp())
        QFile::remove(trash.filePath(QStringLiteral("info/%1.trashinfo").arg(trashed.fileName())));
    return std::nullopt;
}

} // namespace FileOperations
