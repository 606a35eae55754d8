// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A file named on a command line: a path, or the file:// URL that launchers
// and file managers hand over for `Exec=… %U`.
namespace LaunchArgument {
struct Resolved {
    QString path; // as given for a path; absolute and percent-decoded for a file:// URL
    QString refusal; // why not, for a URL of anything but a local file
};
Resolved resolve(const QString& argument);
} // namespace LaunchArgument
