// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/CompressionPreset.h"
#include "jobs/WatchedFolder.h"

#include <QObject>
#include <QString>

// The user's persistent settings. Every read goes to the key-value store, so
// all readers see the latest write; a read never stores the default.
class UserPreferences : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString operationModeRaw READ operationModeRaw WRITE setOperationModeRaw NOTIFY operationModeRawChanged)
    Q_PROPERTY(QString exportPath READ exportPath WRITE setExportPath NOTIFY exportPathChanged)
    Q_PROPERTY(bool warnBeforeReplacing READ warnBeforeReplacing WRITE setWarnBeforeReplacing NOTIFY
                   warnBeforeReplacingChanged)
    Q_PROPERTY(QString compressionPresetRaw READ compressionPresetRaw WRITE setCompressionPresetRaw NOTIFY
                   compressionPresetRawChanged)

public:
    static inline const QString operationModeKey = QStringLiteral("operationMode");
    static inline const QString exportPathKey = QStringLiteral("exportPath");
    static inline const QString warnBeforeReplacingKey = QStringLiteral("warnBeforeReplacing");
    static inline const QString compressionPresetKey = QStringLiteral("compressionPreset");
    static inline const QString watchedFoldersKey = QStringLiteral("watchedFolders");
    static inline const QString watchingPausedKey = QStringLiteral("watchingPaused");

    static UserPreferences& shared();

    QString operationModeRaw() const;
    QString exportPath() const;
    bool warnBeforeReplacing() const;
    QString compressionPresetRaw() const;
    CompressionPreset compressionPreset() const;
    QList<WatchedFolder> watchedFolders() const;
    bool watchingPaused() const;

    void setOperationModeRaw(const QString& value);
    void setExportPath(const QString& value);
    void setWarnBeforeReplacing(bool value);
    void setCompressionPresetRaw(const QString& value);
    void setWatchedFolders(const QList<WatchedFolder>& folders);
    void setWatchingPaused(bool value);

signals:
    void operationModeRawChanged();
    void exportPathChanged();
    void warnBeforeReplacingChanged();
    void compressionPresetRawChanged();
    void watchedFoldersChanged();
    void watchingPausedChanged();

private:
    UserPreferences() = default;
};
