#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

// Turns dropped or chosen items into a flat list of candidate image files,
// taken by name alone. Folders are walked in name order, skipping hidden items
// and the insides of packages; links to folders are not followed.
class ImageFileCollector {
public:
    static const QStringList& supportedExtensions();
    static QList<QUrl> collectImageURLs(const QList<QUrl>& urls);

private:
    static void collectFolder(const QString& folder, QList<QUrl>& found);
};

inline QList<QUrl> collectImageURLs(const QList<QUrl>& urls) { return ImageFileCollector::collectImageURLs(urls); }
