// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Whether a program was installed by the system's package manager, which
// then also brings its updates.
namespace PackageInstallation {
// True when dpkg lists `executable` (resolved through links) as a file of the
// package `package`. Reads a small file: call it once, at start.
bool ownedByDpkg(const QString& executable, const QString& package,
                 const QString& infoDir = QStringLiteral("/var/lib/dpkg/info"));
} // namespace PackageInstallation
