#include "jobs/ImageFileCollector.h"

#include "platform/Log.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <algorithm>

namespace {

// Folders that the desktop shows as one document; their insides are not the user's images.
const QStringList& packageExtensions()
{
    static const QStringList extensions{
        QStringLiteral("app"),      QStringLiteral("bundle"), QStringLiteral("framework"),
        QStringLiteral("plugin"),   QStringLiteral("kext"),   QStringLiteral("pkg"),
        QStringLiteral("mpkg"),     QStringLiteral("rtfd"),   QStringLiteral("photoslibrary"),
        QStringLiteral("aplibrary"), QStringLiteral("xcarchive"),
    };
    return extensions;
}

QString lowerExtension(const QString& name) { return QFileInfo(name).suffix().toLower(); }

bool isSupported(const QString& name)
{
    return ImageFileCollector::supportedExtensions().contains(lowerExtension(name));
}

bool isPackage(const QString& name) { return packageExtensions().contains(lowerExtension(name)); }

// A name that is not valid UTF-8 decodes, with U+FFFD in it, to a different
// name, and no file has that one; a job for it could only fail.
bool nameSurvivesDecoding(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

} // namespace

const QStringList& ImageFileCollector::supportedExtensions()
{
    static const QStringList extensions{
        QStringLiteral("png"),  QStringLiteral("jpg"),  QStringLiteral("jpeg"),
        QStringLiteral("gif"),  QStringLiteral("svg"),  QStringLiteral("webp"),
        QStringLiteral("heic"), QStringLiteral("heif"), QStringLiteral("dng"),
    };
    return extensions;
}

QList<QUrl> ImageFileCollector::collectImageURLs(const QList<QUrl>& urls)
{
    QList<QUrl> found;
    collectImageURLs(urls, [&found](const QUrl& url) {
        found.append(url);
        return true;
    });
    return found;
}

bool ImageFileCollector::collectImageURLs(const QList<QUrl>& urls, const Visitor& visit)
{
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (QFileInfo(path).isDir() ? !collectFolder(path, visit) : isSupported(path) && !visit(url))
            return false;
    }
    return true;
}

bool ImageFileCollector::collectFolder(const QString& folder, const Visitor& visit)
{
    QStringList names;
    QDirIterator entries(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        entries.next();
        names.append(entries.fileName());
    }
    // The file system's order changes from disk to disk; a sorted walk does
    // not, and ignoring case keeps "IMG_1" beside "img_2" as people expect.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });

    for (const QString& name : std::as_const(names)) {
        if (name.startsWith(QLatin1Char('.')))
            continue;
        // Joined by hand: QDir::filePath takes a name starting with ':' for a resource path.
        const QString path = (folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')) + name;
        if (name.contains(QChar::ReplacementCharacter) && !nameSurvivesDecoding(path)) {
            Log::line(QStringLiteral("Skipped %1: its name is not valid UTF-8").arg(path));
            continue;
        }
        if (isSupported(name) && !visit(QUrl::fromLocalFile(path)))
            return false;
        const QFileInfo info(path);
        if (info.isDir() && !info.isSymLink() && !isPackage(name) && !collectFolder(path, visit))
            return false;
    }
    return true;
}
