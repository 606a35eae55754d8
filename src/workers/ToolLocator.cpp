// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/ToolLocator.h"

#include "platform/Log.h"
#include "platform/Paths.h"
#include "workers/MissingTools.h"
#include "workers/ToolSession.h"

#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QStandardPaths>

namespace {

// Where a tool was found and how to say so; no path when it was not.
struct Found {
    QString path;
    QString message;
};

struct Overrides {
    QMutex mutex;
    QHash<QString, Found> found;
    std::optional<QString> resourcesDir;
    std::optional<QStringList> systemDirs;
};

Overrides& overrides()
{
    static Overrides instance;
    return instance;
}

bool exists(const QString& path)
{
    return QFileInfo::exists(path);
}

} // namespace

namespace ToolLocator {

QString resourcesDir()
{
    auto& o = overrides();
    QMutexLocker lock(&o.mutex);
    return o.resourcesDir.value_or(Paths::resourcesDir());
}

QStringList systemDirs()
{
    auto& o = overrides();
    QMutexLocker lock(&o.mutex);
    if (o.systemDirs)
        return *o.systemDirs;
    // The user's own PATH, as a shell would search it; an empty entry would
    // mean the current folder, which is nobody's choice of tool.
    QStringList dirs = qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    dirs.removeIf([](const QString& dir) { return !dir.startsWith(QLatin1Char('/')); });
    if (dirs.isEmpty())
        dirs = {QStringLiteral("/usr/local/bin"), QStringLiteral("/usr/bin"), QStringLiteral("/bin")};
    return dirs;
}

std::optional<QString> findSystemTool(const QString& name)
{
    // In the given order; a file that cannot be run is passed over.
    const QString path = QStandardPaths::findExecutable(name, systemDirs());
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

namespace {

Found search(const QString& name)
{
    const QString resources = resourcesDir();
    if (!resources.isEmpty()) {
        const std::pair<QString, QString> places[] = {
            {QStringLiteral("/BundledTools/bin/"), QStringLiteral(" in app bundle BundledTools/bin/: ")},
            {QStringLiteral("/bin/"), QStringLiteral(" in app bundle bin/: ")},
            {QStringLiteral("/"), QStringLiteral(" in app bundle: ")},
        };
        for (const auto& [folder, where] : places) {
            const QString path = resources + folder + name;
            if (exists(path))
                return {path, QStringLiteral("Found ") + name + where + path};
        }
    }
    if (auto path = findSystemTool(name))
        return {*path, QStringLiteral("Found ") + name + QStringLiteral(" in system: ") + *path};
    return {};
}

} // namespace

std::optional<QString> findTool(const QString& name)
{
    // Tools do not come and go during a batch: each is looked for once in it.
    const QString key = name + QLatin1Char('\n') + resourcesDir() + QLatin1Char('\n')
                        + systemDirs().join(QLatin1Char(':'));
    const bool inBatch = ToolSession::isOpen();
    auto& o = overrides();
    std::optional<Found> found;
    {
        QMutexLocker lock(&o.mutex);
        if (const auto it = o.found.constFind(key); inBatch && it != o.found.constEnd())
            found = *it;
    }
    if (!found) {
        found = search(name);
        QMutexLocker lock(&o.mutex);
        if (inBatch)
            o.found.insert(key, *found);
    }
    if (found->path.isEmpty()) {
        qCDebug(lcTools).noquote() << name << "is not installed";
        emit MissingTools::shared().missing(name);
        return std::nullopt;
    }
    qCInfo(lcTools).noquote() << found->message;
    return found->path;
}

void forgetFoundTools()
{
    auto& o = overrides();
    QMutexLocker lock(&o.mutex);
    o.found.clear();
}

void overrideResourcesDir(const std::optional<QString>& dir)
{
    auto& o = overrides();
    QMutexLocker lock(&o.mutex);
    o.resourcesDir = dir;
}

void overrideSystemDirs(const std::optional<QStringList>& dirs)
{
    auto& o = overrides();
    QMutexLocker lock(&o.mutex);
    o.systemDirs = dirs;
}

} // namespace ToolLocator
