// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

#include <functional>

// Turns dropped or chosen items into a flat list of candidate image files,
// taken by name alone. Folders are walked in name order, skipping hidden items
// and the insides of packages; links to folders are not followed, links to
// files only when the file lies inside the folder given. Items given by name
// are taken, links or not.
class ImageFileCollector {
public:
    static const QStringList& supportedExtensions();
    // `skipped`, when given, receives one line for each image in a folder that
    // cannot be taken (a name that is not valid UTF-8, a compressed SVG)
    // instead of the log.
    static QList<QUrl> collectImageURLs(const QList<QUrl>& urls, QStringList* skipped = nullptr);
    // The same walk, handing each file over as it is found; the visitor
    // answers false to stop. Answers whether the walk ran to its end.
    using Visitor = std::function<bool(const QUrl&)>;
    static bool collectImageURLs(const QList<QUrl>& urls, const Visitor& visit, QStringList* skipped = nullptr);

private:
    // `root`: the folder given, without links.
    static bool collectFolder(const QString& folder, const QString& root, const Visitor& visit, QStringList* skipped);
};

inline QList<QUrl> collectImageURLs(const QList<QUrl>& urls, QStringList* skipped = nullptr)
{
    return ImageFileCollector::collectImageURLs(urls, skipped);
}
