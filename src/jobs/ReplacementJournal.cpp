// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/ReplacementJournal.h"

#include "jobs/FileOperations.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/Trash.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUuid>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <limits>
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

QString uuid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

// Tells this process's entries from those of an earlier run that had the same
// process id (a container starts its processes with the same ids each time).
const QString& processToken()
{
    static const QString token = uuid();
    return token;
}

const QRegularExpression& entryPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^([1-9][0-9]{0,9})\\.([0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-["
                                                           "0-9A-F]{4}-[0-9A-F]{12})\\.[0-9A-F-]{36}\\.entry$"));
    return pattern;
}

// Whether the run that wrote an entry may still be working on it: a
// replacement takes moments, so an hour-old entry is stale whatever its pid.
bool ownerMayBeRunning(qint64 pid, const QString& token, qint64 ageSeconds)
{
    if (token == processToken())
        return true;
    if (pid == qint64(::getpid()) || pid > std::numeric_limits<pid_t>::max() || ageSeconds > 3600)
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

void syncFolder(const QString& folder)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::optional<QString> writeSynced(const QString& path, const QByteArray& bytes)
{
    if (FileOperations::injectedFault("journal", path))
        return reason(errno);
    const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return reason(errno);
    qsizetype done = 0;
    std::optional<QString> failure;
    while (!failure && done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (put > 0)
            done += put;
        else if (put == 0 || errno != EINTR)
            failure = reason(put == 0 ? EIO : errno);
    }
    if (!failure && ::fsync(fd) != 0)
        failure = reason(errno);
    if (::close(fd) != 0 && !failure)
        failure = reason(errno);
    if (failure)
        ::unlink(native(path).constData());
    return failure;
}

struct Listed {
    QString original;
    QString replacement;
};

// An entry names a hidden file of ours beside its original, or nothing usable.
std::optional<Listed> read(const QString& entry)
{
    QFile file(entry);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    Listed listed;
    for (const QByteArray& line : file.read(16 * 1024).split('\n')) {
        if (line.startsWith("original="))
            listed.original = Trash::decodePath(line.mid(9));
        else if (line.startsWith("replacement="))
            listed.replacement = Trash::decodePath(line.mid(12));
    }
    const QFileInfo original(listed.original);
    const QFileInfo replacement(listed.replacement);
    if (!original.isAbsolute() || !replacement.isAbsolute() || original.absolutePath() != replacement.absolutePath()
        || !FileOperations::isReplacementName(replacement.fileName()) || original.fileName().startsWith(".Pressly."))
        return std::nullopt;
    return listed;
}

} // namespace

QString ReplacementJournal::defaultFolder()
{
    return Paths::applicationSupportDir() + QStringLiteral("/replacements");
}

ReplacementJournal::ReplacementJournal(QString folder) : folder_(std::move(folder))
{
}

std::optional<QString> ReplacementJournal::begin(const QString& original, const QString& replacement,
                                                 QString* error) const
{
    const QString entry = QDir(folder_).filePath(
        QStringLiteral("%1.%2.%3.entry").arg(::getpid()).arg(processToken(), uuid()));
    const QByteArray text = "original=" + Trash::encodePath(QFileInfo(original).absoluteFilePath())
                            + "\nreplacement=" + Trash::encodePath(QFileInfo(replacement).absoluteFilePath()) + '\n';
    auto failure = FileOperations::makeDirectoryWithParents(folder_);
    if (!failure)
        failure = writeSynced(entry, text);
    if (failure) {
        *error = QCoreApplication::translate(
                     "ReplacementJournal",
                     "The file “%1” couldn’t be replaced: the replacement couldn’t be recorded in “%2” (%3)")
                     .arg(QFileInfo(original).fileName(), folder_, *failure);
        return std::nullopt;
    }
    syncFolder(folder_);
    return entry;
}

void ReplacementJournal::end(const QString& entry) const
{
    if (FileOperations::injectedFault("journal-end", entry))
        return;
    ::unlink(native(entry).constData());
}

int ReplacementJournal::recoverInterrupted() const
{
    const QDir dir(folder_);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    int settled = 0;
    for (const QString& name : dir.entryList({QStringLiteral("*.entry")}, QDir::Files | QDir::Hidden)) {
        const auto match = entryPattern().match(name);
        const QFileInfo info(dir.filePath(name));
        if (!match.hasMatch()
            || ownerMayBeRunning(match.captured(1).toLongLong(), match.captured(2),
                                 now - info.lastModified().toSecsSinceEpoch()))
            continue;
        if (settle(info.filePath()))
            ++settled;
    }
    if (settled > 0)
        syncFolder(folder_);
    return settled;
}

bool ReplacementJournal::settle(const QString& entry) const
{
    const auto listed = read(entry);
    // Unreadable: written in part, so the original never left its place.
    if (!listed) {
        ::unlink(native(entry).constData());
        return true;
    }
    // A volume that is not there now: its turn comes in a later run.
    if (!QFileInfo(QFileInfo(listed->original).absolutePath()).isDir())
        return false;
    if (FileOperations::existsAtPath(listed->replacement)) {
        // A free name gets the new version even when the original is no longer
        // in the Trash (emptied since): it may be the only copy left.
        if (!FileOperations::existsAtPath(listed->original)) {
            if (FileOperations::renameWithoutReplacing(listed->replacement, listed->original))
                return false;
            qCWarning(lcJobs).noquote() << QStringLiteral(
                                               "Finished replacing %1, which an interrupted run had left undone")
                                               .arg(listed->original);
        } else {
            // The original never left, or the user has put a file there since.
            ::unlink(native(listed->replacement).constData());
        }
    }
    ::unlink(native(entry).constData());
    return true;
}
