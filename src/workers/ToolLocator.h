// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Where external tools are found: the application's resources first, then
// the folders of PATH, in order.
namespace ToolLocator {
// Logs exactly one line: where the tool was found, or that it was not, and
// tells MissingTools of a miss.
// Looked for once while a tool session is open.
std::optional<QString> findTool(const QString& name);
// Forgets what the lookups of the ended batch found: the next looks again.
void forgetFoundTools();
// The folders of PATH only, silently.
std::optional<QString> findSystemTool(const QString& name);

// The resource directory searched first (<executable's folder>/../share/pressly-pro).
QString resourcesDir();
QStringList systemDirs();

// Tests point the lookup at folders of their own; an empty optional restores
// the real location.
void overrideResourcesDir(const std::optional<QString>& dir);
void overrideSystemDirs(const std::optional<QStringList>& dirs);
} // namespace ToolLocator
