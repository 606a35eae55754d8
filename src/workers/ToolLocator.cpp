#include "workers/ToolLocator.h"

#include "platform/Log.h"
#include "platform/Paths.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>

namespace {

struct Overrides {
    QMutex mutex;
    std::optional<QString> resourcesDir;
    std::optional<QStringList> systemDirs;
};

Overrides& overrides()
{
    static Overrides instance;
    return instance;
}

bool exists(const QString& path) { return QFileInfo::exists(path); }

} // namespace

namespace ToolLocator {

QString resourcesDir()
{
    auto& o = overrides();
    QMutexLocker lock(&o.mutex);
    return o.resourcesDir.value_or(Paths::resourcesDir());
}

QString bundleDir() { return QCoreApplication::applicationDirPath(); }

QStringList systemDirs()
{
    auto& o = overrides();
    QMutexLocker lock(&o.mutex);
    if (o.systemDirs)
        return *o.systemDirs;
    return {QStringLiteral("/opt/homebrew/bin"), QStringLiteral("/usr/local/bin"), QStringLiteral("/usr/bin")};
}

std::optional<QString> findSystemTool(const QString& name)
{
    // In the given order; a file that cannot be run is passed over.
    const QString path = QStandardPaths::findExecutable(name, systemDirs());
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

std::optional<QString> findTool(const QString& name)
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
            if (exists(path)) {
                Log::line(QStringLiteral("✅ Found ") + name + where + path);
                return path;
            }
        }
    }
    if (auto path = findSystemTool(name)) {
        Log::line(QStringLiteral("✅ Found ") + name + QStringLiteral(" in system: ") + *path);
        return path;
    }
    Log::line(QStringLiteral("❌ ") + name + QStringLiteral(" not found in bundle or system"));
    return std::nullopt;
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
