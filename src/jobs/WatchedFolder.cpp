// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/WatchedFolder.h"

#include "core/CompressionPreset.h"
#include "jobs/Configuration.h"
#include "jobs/UserPreferences.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

QList<WatchedFolder> WatchedFolder::fromJson(const QString& text)
{
    QList<WatchedFolder> folders;
    const QJsonArray entries = QJsonDocument::fromJson(text.toUtf8()).array();
    for (const QJsonValue& entry : entries) {
        const QJsonObject object = entry.toObject();
        const QString path = object.value(QLatin1String("path")).toString();
        if (path.isEmpty())
            continue;
        const QString preset = object.value(QLatin1String("preset")).toString();
        // Read as the main settings are: only the exact mode replaces originals.
        const auto mode = Configuration::operationModeFromString(object.value(QLatin1String("mode")).toString());
        folders.append({path, mode == Configuration::OperationMode::exportToFolder,
                        toString(compressionPresetFromString(preset))});
    }
    return folders;
}

QString WatchedFolder::toJson(const QList<WatchedFolder>& folders)
{
    QJsonArray entries;
    for (const WatchedFolder& folder : folders)
        entries.append(
            QJsonObject{{QStringLiteral("path"), folder.path},
                        {QStringLiteral("mode"),
                         Configuration::toString(folder.exporting ? Configuration::OperationMode::exportToFolder
                                                                  : Configuration::OperationMode::optimizeOriginals)},
                        {QStringLiteral("preset"), folder.preset}});
    return QString::fromUtf8(QJsonDocument(entries).toJson(QJsonDocument::Compact));
}

BatchSettings WatchedFolder::batchSettings() const
{
    BatchSettings settings;
    settings.mode = exporting ? Configuration::OperationMode::exportToFolder
                              : Configuration::OperationMode::optimizeOriginals;
    settings.exportFolder = UserPreferences::shared().exportPath();
    settings.preset = preset;
    return settings;
}
