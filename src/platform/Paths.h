// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where the program keeps and finds things.
namespace Paths {
// <executable's folder>/../share/pressly-pro
QString resourcesDir();
// The folder of bundled tools inside the resources.
QString bundledToolsDir();
// $XDG_DATA_HOME/Pressly Pro, created on demand, readable by the user alone.
QString applicationSupportDir();
// The per-user temporary directory (honours TMPDIR).
QString temporaryDir();
} // namespace Paths
