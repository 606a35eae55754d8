// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/UserPreferences.h"

#include "platform/KeyValueStore.h"

#include <QCoreApplication>
#include <QThread>

UserPreferences& UserPreferences::shared()
{
    static UserPreferences* const instance = [] {
        auto* preferences = new UserPreferences;
        // Announcements belong to the event-loop thread, whoever asks first.
        if (auto* app = QCoreApplication::instance())
            preferences->moveToThread(app->thread());
        return preferences;
    }();
    return *instance;
}

QString UserPreferences::operationModeRaw() const
{
    return KeyValueStore::standard().string(operationModeKey, QStringLiteral("exportToFolder"));
}

QString UserPreferences::exportPath() const
{
    return KeyValueStore::standard().string(exportPathKey, QString());
}

bool UserPreferences::warnBeforeReplacing() const
{
    return KeyValueStore::standard().boolean(warnBeforeReplacingKey, true);
}

QString UserPreferences::compressionPresetRaw() const
{
    return KeyValueStore::standard().string(compressionPresetKey, QStringLiteral("balanced"));
}

CompressionPreset UserPreferences::compressionPreset() const
{
    return compressionPresetFromString(compressionPresetRaw());
}

void UserPreferences::setOperationModeRaw(const QString& value)
{
    if (operationModeRaw() == value)
        return;
    KeyValueStore::standard().setValue(operationModeKey, value);
    emit operationModeRawChanged();
}

void UserPreferences::setExportPath(const QString& value)
{
    if (exportPath() == value)
        return;
    KeyValueStore::standard().setValue(exportPathKey, value);
    emit exportPathChanged();
}

void UserPreferences::setWarnBeforeReplacing(bool value)
{
    if (warnBeforeReplacing() == value)
        return;
    KeyValueStore::standard().setValue(warnBeforeReplacingKey, value);
    emit warnBeforeReplacingChanged();
}

void UserPreferences::setCompressionPresetRaw(const QString& value)
{
    if (compressionPresetRaw() == value)
        return;
    KeyValueStore::standard().setValue(compressionPresetKey, value);
    emit compressionPresetRawChanged();
}

QList<WatchedFolder> UserPreferences::watchedFolders() const
{
    return WatchedFolder::fromJson(KeyValueStore::standard().string(watchedFoldersKey, QString()));
}

bool UserPreferences::watchingPaused() const
{
    return KeyValueStore::standard().boolean(watchingPausedKey, false);
}

void UserPreferences::setWatchedFolders(const QList<WatchedFolder>& folders)
{
    if (watchedFolders() == folders)
        return;
    KeyValueStore::standard().setValue(watchedFoldersKey, WatchedFolder::toJson(folders));
    emit watchedFoldersChanged();
}

void UserPreferences::setWatchingPaused(bool value)
{
    if (watchingPaused() == value)
        return;
    KeyValueStore::standard().setValue(watchingPausedKey, value);
    emit watchingPausedChanged();
}
