// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Trash.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

constexpr int infoSuffixLength = int(sizeof(".trashinfo") - 1);
// Numbered names first, then a few random ones: never an endless search.
constexpr int numberedAttempts = 100;
constexpr int randomAttempts = 10;

QString homeTrash()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
}

std::optional<dev_t> deviceOf(const QString& path)
{
    struct stat info { };
    if (::stat(native(path).constData(), &info) != 0)
        return std::nullopt;
    return info.st_dev;
}

// The top folder of the volume that holds `path`.
QString volumeTop(const QString& path)
{
    struct stat info { };
    QString current = QFileInfo(path).absolutePath();
    if (::stat(native(current).constData(), &info) != 0)
        return {};
    const dev_t device = info.st_dev;
    while (current != QLatin1String("/")) {
        const QString parent = QFileInfo(current).absolutePath();
        if (::stat(native(parent).constData(), &info) != 0 || info.st_dev != device)
            break;
        current = parent;
    }
    return current;
}

// The file's folder with its links resolved (the file's own name kept): the
// volume it really lies on decides its Trash, and a desktop looks there.
QString realLocation(const QString& path)
{
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
}

// A folder of ours for the Trash: made owner-only, never a link.
bool ensureFolder(const QString& path)
{
    if (::mkdir(native(path).constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info { };
    if (::lstat(native(path).constData(), &info) != 0)
        return false;
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

bool ensureTrash(const QString& trash)
{
    return ensureFolder(trash) && ensureFolder(trash + QStringLiteral("/files"))
           && ensureFolder(trash + QStringLiteral("/info"));
}

struct Place {
    QString trash;
    QString top; // empty for the home Trash, whose paths are absolute
};

// The Trash a file at `absolute` goes to, or the reason there is none.
std::optional<Place> placeFor(const QString& absolute, QString* why)
{
    const QString home = homeTrash();
    QDir().mkpath(QFileInfo(home).absolutePath());
    const auto homeDevice = deviceOf(QFileInfo(home).absolutePath());
    // Without a data folder there is no telling which Trash is the user's.
    if (!homeDevice) {
        *why = QCoreApplication::translate("Trash", "the data folder “%1” is unusable (%2)")
                   .arg(QFileInfo(home).absolutePath(), reason(errno));
        return std::nullopt;
    }
    if (deviceOf(QFileInfo(absolute).absolutePath()) == homeDevice) {
        if (ensureTrash(home))
            return Place{home, {}};
        *why = QCoreApplication::translate("Trash", "the Trash folder “%1” couldn’t be made (%2)")
                   .arg(home, reason(errno));
        return std::nullopt;
    }
    const QString top = volumeTop(absolute);
    const QString uid = QString::number(::getuid());
    // An administrator's shared .Trash counts only when sticky and no link.
    struct stat shared { };
    const QString sharedTrash = top + QStringLiteral("/.Trash");
    if (!top.isEmpty() && ::lstat(native(sharedTrash).constData(), &shared) == 0 && S_ISDIR(shared.st_mode)
        && (shared.st_mode & S_ISVTX) && ensureTrash(sharedTrash + QLatin1Char('/') + uid))
        return Place{sharedTrash + QLatin1Char('/') + uid, top};
    const QString own = (top == QLatin1String("/") ? QString() : top) + QStringLiteral("/.Trash-") + uid;
    if (!top.isEmpty() && ensureTrash(own))
        return Place{own, top};
    *why = QCoreApplication::translate("Trash", "its volume has no Trash that can be used (%1)").arg(reason(errno));
    return std::nullopt;
}

// The name in the Trash for attempt `n`: the file's own name, shortened to
// leave room for ".trashinfo" and a number, keeping its extension.
QByteArray candidateName(const QByteArray& name, int n)
{
    QByteArray stem = name;
    QByteArray extension;
    const qsizetype dot = name.lastIndexOf('.');
    if (dot > 0 && name.size() - dot <= 16) {
        stem = name.left(dot);
        extension = name.mid(dot);
    }
    QByteArray counter;
    if (n > numberedAttempts)
        counter = '.' + QUuid::createUuid().toByteArray(QUuid::Id128).left(8);
    else if (n > 0)
        counter = '.' + QByteArray::number(n + 1);
    const qsizetype room = NAME_MAX - infoSuffixLength - extension.size() - counter.size();
    if (stem.size() > room) {
        stem.truncate(room);
        // Cut before a UTF-8 continuation byte, not inside a character.
        while (!stem.isEmpty() && (uchar(stem.back()) & 0xC0) == 0x80)
            stem.chop(1);
        if (!stem.isEmpty() && uchar(stem.back()) >= 0xC0)
            stem.chop(1);
    }
    return stem + counter + extension;
}

std::optional<QString> writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return reason(put < 0 ? errno : EIO);
        done += put;
    }
    return std::nullopt;
}

void syncFolder(const QString& folder)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes the restore information of `absolute` under a free name and answers
// that name; nothing is left behind when it fails.
std::optional<QByteArray> writeInfo(const Place& place, const QString& absolute, QString* why)
{
    const QString recorded = place.top.isEmpty()               ? absolute
                             : place.top == QLatin1String("/") ? absolute.mid(1)
                                                               : absolute.mid(place.top.size() + 1);
    const QByteArray contents = "[Trash Info]\nPath=" + Trash::encodePath(recorded) + "\nDeletionDate="
                                + QDateTime::currentDateTime().toString(Qt::ISODate).left(19).toUtf8() + '\n';
    const QByteArray name = native(QFileInfo(absolute).fileName());
    for (int n = 0; n <= numberedAttempts + randomAttempts; ++n) {
        const QByteArray candidate = candidateName(name, n);
        const QByteArray info = native(place.trash) + "/info/" + candidate + ".trashinfo";
        const int fd = ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            *why = QCoreApplication::translate("Trash", "its restore information couldn’t be written (%1)")
                       .arg(reason(errno));
            return std::nullopt;
        }
        struct stat taken { };
        if (::lstat((native(place.trash) + "/files/" + candidate).constData(), &taken) == 0) {
            ::close(fd);
            ::unlink(info.constData());
            continue;
        }
        auto failure = writeAll(fd, contents);
        if (!failure && ::fsync(fd) != 0)
            failure = reason(errno);
        if (::close(fd) != 0 && !failure)
            failure = reason(errno);
        if (failure) {
            ::unlink(info.constData());
            *why =
                QCoreApplication::translate("Trash", "its restore information couldn’t be written (%1)").arg(*failure);
            return std::nullopt;
        }
        syncFolder(place.trash + QStringLiteral("/info"));
        return candidate;
    }
    *why = QCoreApplication::translate("Trash", "the Trash holds too many items of that name");
    return std::nullopt;
}

} // namespace

namespace Trash {

QByteArray encodePath(const QString& path)
{
    return native(path).toPercentEncoding("/");
}

QString decodePath(const QByteArray& encoded)
{
    return QFile::decodeName(QByteArray::fromPercentEncoding(encoded));
}

Outcome moveToTrash(const QString& path)
{
    Outcome outcome;
    const QString absolute = realLocation(path);
    const auto fail = [&](const QString& why) {
        outcome.error = QCoreApplication::translate("Trash", "The file “%1” couldn’t be moved to the Trash: %2")
                            .arg(QFileInfo(path).fileName(), why);
        return outcome;
    };
    struct stat present { };
    if (::lstat(native(absolute).constData(), &present) != 0) {
        outcome.error =
            QCoreApplication::translate("Trash", "The file “%1” doesn’t exist.").arg(QFileInfo(path).fileName());
        return outcome;
    }
    QString why;
    const auto place = placeFor(absolute, &why);
    if (!place)
        return fail(why);
    const auto name = writeInfo(*place, absolute, &why);
    if (!name)
        return fail(why);
    const QByteArray info = native(place->trash) + "/info/" + *name + ".trashinfo";
    const QByteArray target = native(place->trash) + "/files/" + *name;
    // The name was free a moment ago; never overwrite what took it since.
    int result = ::renameat2(AT_FDCWD, native(absolute).constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS))
        result = ::rename(native(absolute).constData(), target.constData());
    if (result != 0) {
        const int error = errno;
        ::unlink(info.constData());
        return fail(error == EXDEV ? QCoreApplication::translate("Trash", "it is on another volume than the Trash")
                                   : reason(error));
    }
    syncFolder(place->trash + QStringLiteral("/files"));
    outcome.ok = true;
    outcome.pathInTrash = QFile::decodeName(target);
    return outcome;
}

} // namespace Trash
