// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Trash.h"
#include "SmallVolume.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <climits>

using namespace TestSupport;

namespace {

// Each test trashes into a data home of its own, put back afterwards.
class TrashTest : public ::testing::Test {
protected:
    void useDataHome(const QString& path)
    {
        QDir().mkpath(path);
        qputenv("XDG_DATA_HOME", QFile::encodeName(path));
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", saved_); }

    QByteArray saved_ = qgetenv("XDG_DATA_HOME");
};

} // namespace

TEST_F(TrashTest, NamesOfEveryKindGoInAndTheirPathsComeBackExactly)
{
    QTemporaryDir dir;
    useDataHome(dir.filePath("data"));
    const QString trash = dir.filePath("data/Trash");
    const QString longest = QString(250, 'x') + QStringLiteral(".png");
    const QString longUtf8 = QString(125, QChar(0xE9)) + QStringLiteral(".png"); // 254 bytes
    const QStringList names = {"a%41.png", "new\nline.png", "sp ace #?&=.png", "ü.png", longest, longest, longUtf8};
    QStringList seen;
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString path = dir.filePath(name);
        writeFile(path, name.toUtf8());
        const Trash::Outcome outcome = Trash::moveToTrash(path);
        ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
        EXPECT_FALSE(QFileInfo::exists(path));
        EXPECT_FALSE(seen.contains(outcome.pathInTrash)) << "a second item of that name gets its own";
        seen << outcome.pathInTrash;
        EXPECT_EQ(readFile(outcome.pathInTrash), name.toUtf8());

        const QString info = trash + "/info/" + QFileInfo(outcome.pathInTrash).fileName() + ".trashinfo";
        EXPECT_LE(QFile::encodeName(QFileInfo(info).fileName()).size(), NAME_MAX);
        const QStringList lines = QString::fromUtf8(readFile(info)).split('\n');
        ASSERT_EQ(lines.size(), 4) << "one line each, the path's newline escaped";
        EXPECT_EQ(lines[0], "[Trash Info]");
        EXPECT_EQ(lines[1], "Path=" + QUrl::toPercentEncoding(path, "/"));
        EXPECT_TRUE(
            QRegularExpression("^DeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d$").match(lines[2]).hasMatch());
        EXPECT_EQ(Trash::decodePath(lines[1].mid(5).toUtf8()), path);
    }
}

TEST_F(TrashTest, AFileOnAnotherVolumeGoesToThatVolumesOwnTrash)
{
    SmallVolume volume;
    if (!volume.why().isEmpty())
        GTEST_SKIP() << volume.why().toStdString();
    QTemporaryDir home;
    useDataHome(home.filePath("data"));
    QDir().mkpath(volume.path() + "/photos/2026");
    // Also reached through a link in the home folder to a folder inside the volume.
    ASSERT_TRUE(QFile::link(volume.path() + "/photos", home.filePath("linked")));
    const QString trash = volume.path() + "/.Trash-" + QString::number(::getuid());
    for (const auto& [path, recorded] : {std::pair(volume.path() + "/photos/a.png", QString("photos/a.png")),
                                         std::pair(home.filePath("linked/2026/b.png"), QString("photos/2026/b.png"))}) {
        writeFile(path, "original");
        const Trash::Outcome outcome = Trash::moveToTrash(path);
        ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
        const QString name = QFileInfo(path).fileName();
        EXPECT_EQ(outcome.pathInTrash, trash + "/files/" + name);
        EXPECT_EQ(readFile(outcome.pathInTrash), "original");
        EXPECT_TRUE(readFile(trash + "/info/" + name + ".trashinfo").contains("\nPath=" + recorded.toUtf8() + "\n"))
            << readFile(trash + "/info/" + name + ".trashinfo").toStdString();
    }
    EXPECT_TRUE(QDir(home.filePath("data/Trash/files")).isEmpty()) << "never copied across volumes";
}

// A Trash that cannot take the restore information refuses at once and
// leaves the file where it was, with no half-written information behind.
TEST_F(TrashTest, ATrashThatCannotRecordTheFileRefusesIt)
{
    struct Case {
        const char* what;
        qint64 freeBytes;
        qint64 freeInodes;
        bool immutableInfo;
    };
    const Case cases[] = {
        {"no space left", 0, 100, false},
        {"no inodes left", 1 << 20, 0, false},
        {"info folder immutable", 1 << 20, 100, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<SmallVolume> volume;
        QTemporaryDir onDisk(QDir::tempPath() + "/trash-XXXXXX"); // chattr needs ext4, not tmpfs
        QString root = onDisk.path();
        if (!c.immutableInfo) {
            volume = std::make_unique<SmallVolume>();
            if (!volume->why().isEmpty())
                GTEST_SKIP() << volume->why().toStdString();
            root = volume->path();
        }
        useDataHome(root + "/data");
        const QString trash = root + "/data/Trash";
        QDir().mkpath(trash + "/files");
        QDir().mkpath(trash + "/info");
        const QString path = root + "/a.png";
        writeFile(path, "original");
        if (c.immutableInfo && QProcess::execute("chattr", {"+i", trash + "/info"}) != 0)
            GTEST_SKIP() << "chattr +i is not available on " << root.toStdString();
        if (volume)
            volume->fillLeaving(c.freeBytes, c.freeInodes);

        const Trash::Outcome outcome = Trash::moveToTrash(path);
        if (c.immutableInfo)
            QProcess::execute("chattr", {"-i", trash + "/info"});
        EXPECT_FALSE(outcome.ok);
        EXPECT_TRUE(outcome.error.contains("a.png") && outcome.error.contains("restore information"))
            << outcome.error.toStdString();
        EXPECT_EQ(readFile(path), "original");
        EXPECT_EQ(QDir(trash + "/info").entryList(QDir::Files | QDir::Hidden), QStringList());
    }
}

// A data folder below a file leaves no Trash to tell: nothing goes to another
// volume's Trash nor into the working folder.
TEST_F(TrashTest, AnUnusableDataFolderRefusesTheFile)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("not-a-folder"), "x");
    useDataHome(dir.filePath("not-a-folder/data"));
    writeFile(dir.filePath("a.png"), "original");
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const Trash::Outcome outcome = Trash::moveToTrash(dir.filePath("a.png"));
    QDir::setCurrent(cwd);
    EXPECT_FALSE(outcome.ok) << outcome.pathInTrash.toStdString();
    EXPECT_EQ(readFile(dir.filePath("a.png")), "original");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"a.png", "not-a-folder"}));
}
