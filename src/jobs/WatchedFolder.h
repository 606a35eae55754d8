// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/BatchSettings.h"

#include <QList>
#include <QString>

// A folder the window watches, with how its images are optimized. Stored as
// JSON text, so that other programs (the background service) can read it.
struct WatchedFolder {
    QString path;
    bool exporting = false;
    QString preset = QStringLiteral("balanced");

    bool operator==(const WatchedFolder&) const = default;
    // An exporting folder uses the one export folder of the settings.
    BatchSettings batchSettings() const;

    // Entries without a path are dropped; unknown fields are ignored.
    static QList<WatchedFolder> fromJson(const QString& text);
    static QString toJson(const QList<WatchedFolder>& folders);
};
