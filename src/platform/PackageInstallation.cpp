// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PackageInstallation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool PackageInstallation::ownedByDpkg(const QString& executable, const QString& package, const QString& infoDir)
{
    const QString path = QFileInfo(executable).canonicalFilePath();
    if (path.isEmpty())
        return false;
    // Multi-arch packages name their list after the architecture too.
    const QStringList lists = QDir(infoDir).entryList(
        {package + QStringLiteral(".list"), package + QStringLiteral(":*.list")}, QDir::Files);
    for (const QString& name : lists) {
        QFile list(QDir(infoDir).filePath(name));
        if (!list.open(QIODevice::ReadOnly))
            continue;
        while (!list.atEnd()) {
            const QString listed = QString::fromUtf8(list.readLine()).trimmed();
            // dpkg lists paths as shipped; /bin may be a link to /usr/bin.
            if (listed == path
                || (listed.endsWith(QLatin1Char('/') + QFileInfo(path).fileName())
                    && QFileInfo(listed).canonicalFilePath() == path))
                return true;
        }
    }
    return false;
}
