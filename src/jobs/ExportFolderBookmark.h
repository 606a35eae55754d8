// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

class Configuration;

// Regaining the export folder in later runs. The bookmark is the folder's
// absolute path; access is granted while it is an existing, writable folder.
namespace ExportFolderBookmark {
inline const QString key = QStringLiteral("exportFolderBookmark");
}

// Stores a bookmark of `url`; when one cannot be made, stores nothing and,
// with `logFailure`, says why.
void saveExportFolderBookmark(const QUrl& url, bool logFailure = true);

// True when the stored bookmark leads to a usable folder, whose path is then
// in the preference and in `configuration`.
bool restoreExportFolderBookmark(Configuration& configuration);

// What follows the user's confirmation of a folder in the chooser.
void applyChosenExportFolder(const QString& path, Configuration& configuration, bool logFailures);
