// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Paths.h"

#include "platform/PrivateStorage.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace Paths {

QString resourcesDir()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/pressly-pro"));
}

QString bundledToolsDir()
{
    return resourcesDir() + QStringLiteral("/BundledTools/bin");
}

QString applicationSupportDir()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                        + QStringLiteral("/Pressly Pro");
    PrivateStorage::makeFolder(dir);
    return dir;
}

QString temporaryDir()
{
    return QDir::tempPath();
}

} // namespace Paths
