#include "TestSupport.h"
#include "jobs/ImageFileCollector.h"

#include <gtest/gtest.h>

#include <cstdio>

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

TEST(ImageFileCollector, WalksFoldersInNameOrderSkippingHiddenItemsAndPackages)
{
    QTemporaryDir dir;
    const QString root = dir.filePath("drop");
    for (const char* name : {"a.PNG", ".hidden.png", "notes.txt", "sub/b.jpeg", "sub/deeper/c.HEIC", ".git/d.png",
                             "Viewer.app/Contents/Resources/icon.png", "pics.png/e.gif", "Z.webp", "m.svg", "x.bmp"})
        makeFile(root + "/" + name);
    ASSERT_TRUE(QFile::link(root + "/sub/b.jpeg", root + "/link.png"));

    const QList<QUrl> found = collectImageURLs({QUrl::fromLocalFile(root)});
    EXPECT_EQ(relativePaths(found, root), QStringList({"a.PNG", "link.png", "m.svg", "pics.png", "pics.png/e.gif",
                                                       "sub/b.jpeg", "sub/deeper/c.HEIC", "Z.webp"}));
}

TEST(ImageFileCollector, DroppedItemsKeepTheirOrderAndRepeat)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    for (const char* name : {"/folder/one.jpg", "/x.bmp"})
        makeFile(root + name);
    writeFile(root + "/text.png", "plain text");

    const QList<QUrl> dropped{QUrl::fromLocalFile(root + "/text.png"), QUrl::fromLocalFile(root + "/x.bmp"),
                              QUrl::fromLocalFile(root + "/folder"), QUrl::fromLocalFile(root + "/folder/one.jpg"),
                              QUrl::fromLocalFile(root + "/missing.dng"), QUrl("https://example.com/web.png")};
    EXPECT_EQ(relativePaths(collectImageURLs(dropped), root),
              QStringList({"text.png", "folder/one.jpg", "folder/one.jpg", "missing.dng"}));
}

TEST(ImageFileCollector, LinksToFoldersAreNotFollowed)
{
    QTemporaryDir dir;
    const QString root = dir.filePath("loop");
    makeFile(root + "/inner/a.png");
    ASSERT_TRUE(QFile::link(root, root + "/inner/back"));
    ASSERT_TRUE(QFile::link(root + "/inner", root + "/shortcut.png"));
    ASSERT_TRUE(QFile::link(root, dir.filePath("entry")));

    // A link dropped by the user is walked; links met inside are only names.
    EXPECT_EQ(relativePaths(collectImageURLs({QUrl::fromLocalFile(dir.filePath("entry"))}), dir.filePath("entry")),
              QStringList({"inner/a.png", "shortcut.png"}));
}

TEST(ImageFileCollector, NamesQtTreatsSpeciallyAreTakenAsTheyAre)
{
    QTemporaryDir dir;
    const QString root = dir.filePath("odd names");
    for (const char* name : {"/:colon.png", "/#hash ?.png", "/%41.png"})
        makeFile(root + name);
    // Latin-1 bytes for "café.png": no UTF-8 name reaches that file.
    const QByteArray latin1 = QFile::encodeName(root) + "/caf\xe9.png";
    FILE* raw = std::fopen(latin1.constData(), "w");
    ASSERT_NE(raw, nullptr);
    std::fclose(raw);

    const QList<QUrl> found = collectImageURLs({QUrl::fromLocalFile(root + "/")});
    ASSERT_EQ(relativePaths(found, root), QStringList({"#hash ?.png", "%41.png", ":colon.png"}));
    for (const QUrl& url : found)
        EXPECT_TRUE(QFileInfo(url.toLocalFile()).isFile()) << url.toLocalFile().toStdString();
    std::remove(latin1.constData()); // QTemporaryDir cannot name it either
}
