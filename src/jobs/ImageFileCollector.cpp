// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/ImageFileCollector.h"

#include "jobs/FileOperations.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <dirent.h>

#include <sys/stat.h>

#include <algorithm>

namespace {

QString lowerExtension(const QString& name)
{
    return QFileInfo(name).suffix().toLower();
}

bool isSupported(const QString& name)
{
    return ImageFileCollector::supportedExtensions().contains(lowerExtension(name));
}

void report(const QString& line, QStringList* skipped)
{
    if (skipped)
        skipped->append(line);
    else
        qCInfo(lcJobs).noquote() << line;
}

// Dropping a folder hands over what is in it, not what its links point at:
// an in-place run would otherwise rewrite files anywhere. Answers why a link
// is passed over; empty for a file or a link that stays inside `root`.
QString linkLeavesFolder(const QString& path, const QString& root)
{
    if (!FileOperations::isSymbolicLink(path))
        return {};
    const QString target = FileOperations::resolvedPath(path);
    if (target.isEmpty())
        return QCoreApplication::translate("ImageFileCollector", "Skipped %1: the link leads nowhere").arg(path);
    if (!target.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/')))
        return QCoreApplication::translate("ImageFileCollector", "Skipped %1: it links to %2, outside the folder")
            .arg(path, target);
    return {};
}

// A name that is not valid UTF-8 decodes, with U+FFFD in it, to a different
// name, and no file has that one; a job for it could only fail.
bool nameSurvivesDecoding(const QString& path)
{
    struct stat st { };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Qt's listing leaves out names that are not valid UTF-8; the user must still
// hear of the images (and folders of images) that were passed over.
void reportUndecodableNames(const QString& folder, QStringList* skipped)
{
    const QByteArray rawFolder = QFile::encodeName(folder);
    DIR* dir = ::opendir(rawFolder.constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString name = decoder.decode(raw);
        struct stat st { };
        if (raw.startsWith('.') || !decoder.hasError() || ::lstat((rawFolder + '/' + raw).constData(), &st) != 0)
            continue;
        const QString path = (folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')) + name;
        if (S_ISDIR(st.st_mode))
            report(QCoreApplication::translate("ImageFileCollector", "Skipped folder %1: its name is not valid UTF-8")
                       .arg(path),
                   skipped);
        else if (S_ISREG(st.st_mode) && isSupported(name))
            report(
                QCoreApplication::translate("ImageFileCollector", "Skipped %1: its name is not valid UTF-8").arg(path),
                skipped);
    }
    ::closedir(dir);
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

QList<QUrl> ImageFileCollector::collectImageURLs(const QList<QUrl>& urls, QStringList* skipped)
{
    QList<QUrl> found;
    collectImageURLs(
        urls,
        [&found](const QUrl& url) {
            found.append(url);
            return true;
        },
        skipped);
    return found;
}

bool ImageFileCollector::collectImageURLs(const QList<QUrl>& urls, const Visitor& visit, QStringList* skipped)
{
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (QFileInfo(path).isDir() ? !collectFolder(path, FileOperations::resolvedPath(path), visit, skipped)
                                    : isSupported(path) && !visit(url))
            return false;
    }
    return true;
}

bool ImageFileCollector::collectFolder(const QString& folder, const QString& root, const Visitor& visit,
                                       QStringList* skipped)
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

    // Hidden entries are skipped, as file managers hide them: caches, version
    // control, a desktop's thumbnails.
    for (const QString& name : std::as_const(names)) {
        if (name.startsWith(QLatin1Char('.')))
            continue;
        // Joined by hand: QDir::filePath takes a name starting with ':' for a resource path.
        const QString path = (folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')) + name;
        // Reported by the raw listing below, where Qt lists such a name at all.
        if (name.contains(QChar::ReplacementCharacter) && !nameSurvivesDecoding(path))
            continue;
        if (lowerExtension(name) == QLatin1String("svgz"))
            report(
                QCoreApplication::translate("ImageFileCollector", "Skipped %1: compressed SVG (.svgz) is not supported")
                    .arg(path),
                skipped);
        const QFileInfo info(path);
        // A folder named like an image is walked below; a pipe or a device is no image.
        if (isSupported(name) && !info.isDir()) {
            if (const QString outside = linkLeavesFolder(path, root); !outside.isEmpty())
                report(outside, skipped);
            else if (info.exists() && !info.isFile())
                report(QCoreApplication::translate("ImageFileCollector", "Skipped %1: not a regular file").arg(path),
                       skipped);
            else if (!visit(QUrl::fromLocalFile(path)))
                return false;
        }
        if (info.isDir() && !info.isSymLink() && !collectFolder(path, root, visit, skipped))
            return false;
    }
    reportUndecodableNames(folder, skipped);
    return true;
}
