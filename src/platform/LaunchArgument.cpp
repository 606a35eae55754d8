// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LaunchArgument.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace LaunchArgument {

Resolved resolve(const QString& argument)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:/"));
    // A file that is there by that very name is what the user meant.
    if (!scheme.match(argument).hasMatch() || QFileInfo::exists(argument))
        return {argument, {}};
    const QUrl url(argument);
    const bool local = url.isLocalFile() && (url.host().isEmpty() || url.host() == QStringLiteral("localhost"));
    if (local)
        return {url.path(), {}};
    return {{}, QCoreApplication::translate("LaunchArgument", "Only local files can be optimized: %1").arg(argument)};
}

} // namespace LaunchArgument
