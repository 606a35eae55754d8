#include "workers/TemporaryFiles.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

namespace TemporaryFiles {

QString freshUUID() { return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(); }

QUrl makeURL(const QString& middle, const QString& extension)
{
    const QString name = QStringLiteral("Pressly.%1.%2.%3").arg(middle, freshUUID(), extension);
    return QUrl::fromLocalFile(QDir(Paths::temporaryDir()).filePath(name));
}

bool isOurs(const QString& path)
{
    const QFileInfo info(path);
    return info.fileName().startsWith(QLatin1String("Pressly."))
           && QDir(info.absolutePath()).canonicalPath() == QDir(Paths::temporaryDir()).canonicalPath();
}

void removeIfOurs(const QString& path)
{
    if (isOurs(path))
        QFile::remove(path);
}

} // namespace TemporaryFiles
