#include "platform/Trash.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The top folder of the volume that holds `path`.
QString volumeTop(const QString& path)
{
    struct stat info {};
    QString current = QFileInfo(path).absolutePath();
    if (::stat(QFile::encodeName(current).constData(), &info) != 0)
        return {};
    const dev_t device = info.st_dev;
    while (current != QLatin1String("/")) {
        const QString parent = QFileInfo(current).absolutePath();
        if (::stat(QFile::encodeName(parent).constData(), &info) != 0 || info.st_dev != device)
            break;
        current = parent;
    }
    return current;
}

// The home Trash, and the volume's own ones, where a file elsewhere goes.
QStringList trashesFor(const QString& path, QString* top)
{
    *top = volumeTop(path);
    const QString uid = QString::number(::getuid());
    QStringList trashes{QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash")};
    if (!top->isEmpty())
        trashes << QDir(*top).filePath(QStringLiteral(".Trash-") + uid) << QDir(*top).filePath(QStringLiteral(".Trash/") + uid);
    return trashes;
}

// The original path in a .trashinfo, as written: absolute, or relative to the volume's top.
QString trashedFrom(const QString& infoPath)
{
    QFile info(infoPath);
    if (!info.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : info.read(64 * 1024).split('\n')) {
        if (line.startsWith("Path="))
            return QUrl::fromPercentEncoding(line.mid(5).trimmed());
    }
    return {};
}

} // namespace

namespace Trash {

Outcome moveToTrash(const QString& path)
{
    // Without the data folder Qt "trashes" into ./files of the working
    // directory and still reports success.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));

    Outcome outcome;
    if (!QFileInfo::exists(path)) {
        outcome.error = QStringLiteral("The file “%1” doesn’t exist.").arg(QFileInfo(path).fileName());
        return outcome;
    }
    QFile file(path);
    if (!file.moveToTrash() || QFileInfo::exists(path)) {
        outcome.error = QStringLiteral("The file “%1” couldn’t be moved to the Trash: %2")
                            .arg(QFileInfo(path).fileName(), file.errorString());
        return outcome;
    }
    outcome.ok = true;
    outcome.pathInTrash = file.fileName();
    return outcome;
}

bool holdsItemTrashedFrom(const QString& path)
{
    QString top;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (const QString& trash : trashesFor(absolute, &top)) {
        QDirIterator infos(trash + QStringLiteral("/info"), {QStringLiteral("*.trashinfo")}, QDir::Files | QDir::Hidden);
        while (infos.hasNext()) {
            const QString infoPath = infos.next();
            const QString from = trashedFrom(infoPath);
            const bool same = from == absolute || (!from.startsWith(QLatin1Char('/')) && QDir(top).filePath(from) == absolute);
            const QString item = trash + QStringLiteral("/files/") + infos.fileName().chopped(int(qstrlen(".trashinfo")));
            if (same && QFileInfo::exists(item))
                return true;
        }
    }
    return false;
}

} // namespace Trash
