// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/ExportFolderBookmark.h"

#include "jobs/Configuration.h"
#include "jobs/UserPreferences.h"
#include "platform/KeyValueStore.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include <optional>
#include <unistd.h>

namespace {

struct Resolved {
    QString path;
    bool isStale = false;
};

std::optional<QByteArray> createBookmark(const QUrl& url, QString* error)
{
    const QString path = url.isLocalFile() ? QDir::cleanPath(url.toLocalFile()) : QString();
    if (path.isEmpty() || !QDir::isAbsolutePath(path)) {
        *error = QStringLiteral("“%1” is not a folder on this computer.").arg(url.toDisplayString());
        return std::nullopt;
    }
    if (!QFileInfo::exists(path)) {
        *error = QCoreApplication::translate("ExportFolderBookmark", "The folder “%1” doesn’t exist.").arg(path);
        return std::nullopt;
    }
    return path.toUtf8();
}

std::optional<Resolved> resolveBookmark(const QByteArray& data, QString* error)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString path = decoder.decode(data);
    if (decoder.hasError() || path.isEmpty() || !QDir::isAbsolutePath(path) || path.contains(QChar(0))) {
        *error = QCoreApplication::translate("ExportFolderBookmark", "The bookmark data is corrupted.");
        return std::nullopt;
    }
    // A path never goes out of date the way a sandbox bookmark can.
    return Resolved{path, false};
}

bool startAccessing(const QString& path)
{
    const QFileInfo info(path);
    return info.isDir() && ::access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0;
}

} // namespace

void saveExportFolderBookmark(const QUrl& url, bool logFailure)
{
    QString error;
    const auto data = createBookmark(url, &error);
    if (!data) {
        if (logFailure)
            qCWarning(lcJobs).noquote() << QStringLiteral("Failed to save bookmark: ") + error;
        return;
    }
    KeyValueStore::standard().setValue(ExportFolderBookmark::key, *data);
}

bool restoreExportFolderBookmark(Configuration& configuration)
{
    auto& store = KeyValueStore::standard();
    if (!store.contains(ExportFolderBookmark::key))
        return false;
    QString error;
    const auto resolved = resolveBookmark(store.bytes(ExportFolderBookmark::key), &error);
    if (!resolved) {
        qCWarning(lcJobs).noquote() << QStringLiteral("Failed to restore bookmark: ") + error;
        return false;
    }
    if (resolved->isStale)
        saveExportFolderBookmark(QUrl::fromLocalFile(resolved->path));
    if (!startAccessing(resolved->path))
        return false;
    UserPreferences::shared().setExportPath(resolved->path);
    configuration.setExportPath(resolved->path);
    return true;
}

void applyChosenExportFolder(const QString& path, Configuration& configuration, bool logFailures)
{
    UserPreferences::shared().setExportPath(path);
    configuration.setExportPath(path);
    saveExportFolderBookmark(QUrl::fromLocalFile(path), logFailures);
}
