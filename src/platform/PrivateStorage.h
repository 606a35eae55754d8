// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The app's own folders and files tell which images a user has and where:
// only the user may read them, whatever the umask, and those an earlier
// version left readable are closed on the way.
class PrivateStorage {
public:
    // Creates `folder` and any missing parents; `folder` itself is made 0700.
    static void makeFolder(const QString& folder);
    // Makes `file` 0600, creating it empty first when it is missing.
    static void makeFile(const QString& file);
};
