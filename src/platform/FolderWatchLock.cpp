// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FolderWatchLock.h"

#include "platform/Log.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>

QString FolderWatchLock::lockFileFor(const QString& folder)
{
    // A folder not there yet is named as given; links to one folder share its lock.
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    const QString path = canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
    // Without a runtime folder, one in the home folder: Qt's fallback follows TMPDIR,
    // which the window and the service need not share.
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        runtime = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    const QByteArray hash = QCryptographicHash::hash(QFile::encodeName(path), QCryptographicHash::Sha256).toHex();
    return runtime + QStringLiteral("/pressly-pro/") + QString::fromLatin1(hash.left(32)) + QStringLiteral(".lock");
}

std::unique_ptr<FolderWatchLock> FolderWatchLock::take(const QString& folder)
{
    const QString file = lockFileFor(folder);
    QDir().mkpath(QFileInfo(file).path());
    FileLock::Outcome outcome = FileLock::Outcome::failed;
    auto lock = FileLock::takeCreating(file, &outcome);
    if (outcome == FileLock::Outcome::heldElsewhere)
        return nullptr;
    // Without a lock file both may watch: a file optimized once is still not taken again by either.
    if (!lock)
        qCWarning(lcJobs).noquote()
            << QStringLiteral("Cannot lock %1: %2").arg(file, QString::fromLocal8Bit(std::strerror(errno)));
    return std::unique_ptr<FolderWatchLock>(new FolderWatchLock(std::move(lock)));
}
