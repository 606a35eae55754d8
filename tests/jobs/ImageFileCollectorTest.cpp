// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/ImageFileCollector.h"
#include "TestSupport.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;

namespace {
QStringList relativePaths(const QList<QUrl>& urls, const QString& root)
{
    QStringList paths;
    for (const QUrl& url : urls)
        paths << QDir(root).relativeFilePath(url.toLocalFile());
    return paths;
}

void makeFile(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeFile(path, "not looked at");
}
} // namespace

// Folders are walked in name order, skipping hidden items; a
// link dropped by the user is walked, links met inside are only names, and
// only those that stay inside the folder dropped.
TEST(ImageFileCollector, WalksFoldersInNameOrderSkippingHiddenItemsAndLinkedFolders)
{
    QTemporaryDir dir;
    const QString root = dir.filePath("drop");
    for (const char* name : {"a.PNG", ".hidden.png", "notes.txt", "sub/b.jpeg", "sub/deeper/c.HEIC", ".git/d.png",
                             "Viewer.app/Contents/Resources/icon.png", "pics.png/e.gif", "Z.webp", "m.svg", "x.bmp"})
        makeFile(root + "/" + name);
    ASSERT_TRUE(QFile::link(root + "/sub/b.jpeg", root + "/link.png"));
    ASSERT_TRUE(QFile::link(root, root + "/sub/back"));
    ASSERT_TRUE(QFile::link(root + "/sub", root + "/shortcut.png"));
    ASSERT_TRUE(QFile::link(root, dir.filePath("entry")));
    makeFile(dir.filePath("outside/victim.png"));
    ASSERT_TRUE(QFile::link(dir.filePath("outside/victim.png"), root + "/sub/absolute.png"));
    ASSERT_EQ(::symlink("../../outside/victim.png", QFile::encodeName(root + "/sub/relative.png").constData()), 0);
    ASSERT_EQ(::symlink("gone.png", QFile::encodeName(root + "/dangling.png").constData()), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(root + "/pipe.png").constData(), 0600), 0);

    // Folders named like images are walked, not taken as images; a pipe is said to be none.
    const QStringList expected{"a.PNG",
                               "link.png",
                               "m.svg",
                               "pics.png/e.gif",
                               "sub/b.jpeg",
                               "sub/deeper/c.HEIC",
                               "Viewer.app/Contents/Resources/icon.png",
                               "Z.webp"};
    QStringList skipped;
    EXPECT_EQ(relativePaths(collectImageURLs({QUrl::fromLocalFile(root)}, &skipped), root), expected);
    EXPECT_EQ(skipped.size(), 4) << qPrintable(skipped.join('\n'));
    EXPECT_TRUE(skipped.filter("outside the folder").size() == 2 && skipped.filter("dangling.png").size() == 1);
    EXPECT_EQ(skipped.filter("pipe.png: not a regular file").size(), 1);
    EXPECT_EQ(relativePaths(collectImageURLs({QUrl::fromLocalFile(dir.filePath("entry"))}), dir.filePath("entry")),
              expected);
    const QUrl named = QUrl::fromLocalFile(root + "/sub/absolute.png");
    EXPECT_EQ(collectImageURLs({named}), QList<QUrl>{named}) << "a link named by the user is followed";
}

// Dropped items keep their order and repeat; names Qt treats specially are taken as they are.
TEST(ImageFileCollector, DroppedItemsKeepTheirOrderAndOddNamesAreTakenAsTheyAre)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    for (const char* name : {"/folder/one.jpg", "/x.bmp", "/odd/:colon.png", "/odd/#hash ?.png", "/odd/%41.png"})
        makeFile(root + name);
    writeFile(root + "/text.png", "plain text");
    // Latin-1 bytes for "café.png": no UTF-8 name reaches that file.
    const QByteArray latin1 = QFile::encodeName(root) + "/odd/caf\xe9.png";
    FILE* raw = std::fopen(latin1.constData(), "w");
    ASSERT_NE(raw, nullptr);
    std::fclose(raw);

    const QList<QUrl> dropped{QUrl::fromLocalFile(root + "/text.png"),    QUrl::fromLocalFile(root + "/x.bmp"),
                              QUrl::fromLocalFile(root + "/folder"),      QUrl::fromLocalFile(root + "/folder/one.jpg"),
                              QUrl::fromLocalFile(root + "/missing.dng"), QUrl("https://example.com/web.png"),
                              QUrl::fromLocalFile(root + "/odd/")};
    const QList<QUrl> found = collectImageURLs(dropped);
    EXPECT_EQ(relativePaths(found, root), QStringList({"text.png", "folder/one.jpg", "folder/one.jpg", "missing.dng",
                                                       "odd/#hash ?.png", "odd/%41.png", "odd/:colon.png"}));
    for (const QUrl& url : found.mid(4))
        EXPECT_TRUE(QFileInfo(url.toLocalFile()).isFile()) << url.toLocalFile().toStdString();
    std::remove(latin1.constData()); // QTemporaryDir cannot name it either
}
