// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FaultChecks.h"
#include "jobs/Configuration.h"
#include "jobs/FileOperations.h"
#include "jobs/OutputPlacement.h"
#include "jobs/ReplacementJournal.h"
#include "platform/Trash.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QUuid>

#include <unistd.h>

using namespace TestSupport;
using namespace FaultChecks;

namespace {

class KillDuringReplacement : public ::testing::Test {
protected:
    // The child's data, settings and temporary folders are ours; its steps are its error lines.
    RunResult runProgram(const QString& program, const QStringList& arguments)
    {
        return run(QStringLiteral(PRESSLY_BINARY_DIR "/bin/") + program, arguments, privateEnvironment(root.path()),
                   60000);
    }

    // Replaces `file` in a child process that kills itself at step `killAt`.
    RunResult replaceInChild(const QString& file, const QString& replacement, int killAt)
    {
        return runProgram(QStringLiteral("pressly_placement_child"), {file, replacement, QString::number(killAt)});
    }

    QString journal() const { return root.filePath(QStringLiteral("data/Pressly Pro/replacements")); }

    QString trash() const { return trashOf(root.filePath(QStringLiteral("data"))); }

    QTemporaryDir root;
};

QString uuid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

} // namespace

TEST_F(KillDuringReplacement, AKillBetweenAnyTwoStepsLosesNothingAndTheNextRunClearsUp)
{
    const QByteArray result = readFile(dataFile(QStringLiteral("png/pingus-flag3.png")));
    int kills = 0;
    for (int killAt = 1; killAt < 100; ++killAt) {
        SCOPED_TRACE(killAt);
        const QString folder = root.filePath(QStringLiteral("photos%1").arg(killAt));
        QDir().mkpath(folder);
        const QString file = copyInto(QStringLiteral("png/debian-debian.png"), folder, QStringLiteral("a.png"));
        const QByteArray original = readFile(file);
        const QString replacement = copyInto(QStringLiteral("png/pingus-flag3.png"), root.path(),
                                             QStringLiteral("new.png"));

        const RunResult child = replaceInChild(file, replacement, killAt);
        const QStringList childSteps = child.err.split('\n', Qt::SkipEmptyParts);
        if (child.exitCode != -1) {
            // Past the last step: the replacement ran to its end.
            ASSERT_EQ(child.exitCode, 0) << child.err.toStdString();
            EXPECT_EQ(readFile(file), result);
            EXPECT_FALSE(trashedCopy(trash(), file, original).isEmpty());
            EXPECT_TRUE(hiddenLeftovers(folder).isEmpty());
            break;
        }
        ++kills;
        const QString step = childSteps.isEmpty() ? QString() : childSteps.last().section(' ', 1);
        SCOPED_TRACE(step.toStdString());
        // Between the Trash and the rename the path is empty; the original waits in the Trash.
        const bool afterTrash = step == QLatin1String("rename") || step == QLatin1String("sync-folder");
        EXPECT_TRUE(nothingLost(trash(), {file, original, result, afterTrash}));
        if (QFileInfo::exists(file) && readFile(file) == result) {
            EXPECT_FALSE(trashedCopy(trash(), file, original).isEmpty());
        }

        // The next run, with nothing to do in this folder, settles what the journal lists.
        const QString elsewhere = root.filePath(QStringLiteral("elsewhere"));
        QDir().mkpath(elsewhere);
        const RunResult cli = runProgram(QStringLiteral("pressly"), {QStringLiteral("--in-place"), elsewhere});
        EXPECT_EQ(cli.exitCode, 0) << cli.err.toStdString();
        EXPECT_TRUE(nothingLost(trash(), {file, original, result, false})) << "the path is never left empty";
        if (afterTrash) {
            EXPECT_EQ(readFile(file), result);
        }
        EXPECT_TRUE(QDir(journal()).isEmpty(QDir::Files | QDir::Hidden));
        const bool journaled = childSteps.filter(QRegularExpression(QStringLiteral("^\\d+ trash$"))).size() == 1;
        if (journaled) {
            EXPECT_TRUE(hiddenLeftovers(folder).isEmpty()) << hiddenLeftovers(folder).join(", ").toStdString();
        }

        // A run in this folder also removes what was left before the journal had its entry.
        const QString other = copyInto(QStringLiteral("png/debian-debian.png"), folder, QStringLiteral("b.png"));
        const RunResult next = replaceInChild(other, replacement, 0);
        EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
        EXPECT_EQ(readFile(other), result);
        EXPECT_TRUE(hiddenLeftovers(folder).isEmpty()) << hiddenLeftovers(folder).join(", ").toStdString();
    }
    EXPECT_GE(kills, 8) << "every step of a replacement was reached";
}

TEST_F(KillDuringReplacement, OnlyOurStaleHiddenFilesAreRemoved)
{
    const QString folder = root.filePath(QStringLiteral("photos"));
    QDir().mkpath(folder);
    const auto make = [&](const QString& name, qint64 age = 0) {
        QFile file(QDir(folder).filePath(name));
        file.open(QIODevice::WriteOnly);
        file.setFileTime(QDateTime::currentDateTime().addSecs(-age), QFileDevice::FileModificationTime);
        return name;
    };
    const qint64 gone = deadPid();
    const QString id = uuid();
    const QStringList removed = {
        make(FileOperations::replacementName(gone, id)),
        make(FileOperations::replacementName(1, uuid()), 2 * 3600), // alive, but far too old for a replacement
    };
    const QStringList kept = {
        make(FileOperations::replacementName(::getpid(), uuid()), 2 * 3600), // ours, in use
        make(FileOperations::replacementName(1, uuid())), // another live run's
        make(QStringLiteral(".Pressly.%1.tmp").arg(id), 2 * 3600), // no process id
        make(QStringLiteral(".Pressly.%1.%2.tmp").arg(gone).arg(id.toLower())),
        make(QStringLiteral(".Pressly.%1.%2.tmp.png").arg(gone).arg(id)),
        make(QStringLiteral("Pressly.%1.%2.tmp").arg(gone).arg(id)), // not hidden
        make(QStringLiteral(".Pressly.0%1.%2.tmp").arg(gone).arg(id)),
        make(QStringLiteral(".pressly.%1.%2.tmp").arg(gone).arg(id)),
        make(QStringLiteral(".Pressly.%1.%2.tmp").arg(gone).arg(id.left(35))),
        make(QStringLiteral("a.png")),
    };
    // Same names, but a folder and a link: never ours to remove.
    const QString folderName = FileOperations::replacementName(gone, uuid());
    QDir(folder).mkdir(folderName);
    const QString target = make(QStringLiteral("target.png"));
    const QString linkName = FileOperations::replacementName(gone, uuid());
    QFile::link(QDir(folder).filePath(target), QDir(folder).filePath(linkName));

    EXPECT_EQ(FileOperations::removeStaleReplacements(folder), removed.size());
    const QStringList left = everything(folder);
    for (const QString& name : removed)
        EXPECT_FALSE(left.contains(name)) << name.toStdString();
    for (const QString& name : kept + QStringList{folderName, linkName, target})
        EXPECT_TRUE(left.contains(name)) << name.toStdString();

    // Placement clears a folder once, the first time it works there (as a killed run's next does).
    Configuration configuration;
    OutputPlacement placement(configuration);
    const QString optimized = root.filePath(QStringLiteral("new.png"));
    writeFile(optimized, "smaller");
    const QString photo = copyInto(QStringLiteral("png/pingus-flag3.png"), folder, QStringLiteral("c.png"));
    ASSERT_EQ(placement.replaceOriginal(QUrl::fromLocalFile(photo), QUrl::fromLocalFile(optimized)), std::nullopt);
    const QString later = make(FileOperations::replacementName(gone, uuid()));
    const QString photo2 = copyInto(QStringLiteral("png/pingus-flag3.png"), folder, QStringLiteral("d.png"));
    ASSERT_EQ(placement.replaceOriginal(QUrl::fromLocalFile(photo2), QUrl::fromLocalFile(optimized)), std::nullopt);
    EXPECT_TRUE(QFileInfo::exists(QDir(folder).filePath(later))) << "a folder is cleared once per process";
}

TEST_F(KillDuringReplacement, TheJournalFinishesAReplacementWhereItsNameIsFreeAndUndoesItElsewhere)
{
    const QString folder = root.filePath(QStringLiteral("marked"));
    const QString outside = root.filePath(QStringLiteral("outside"));
    QDir().mkpath(folder);
    QDir().mkpath(outside);
    const qint64 gone = deadPid();
    // pid: of the run that wrote the entry; 0: one that is gone.
    struct Case {
        const char* name;
        bool trashed, present, hiddenElsewhere;
        qint64 pid;
        QByteArray expectedAtPath;
        bool hiddenRemains;
    };
    const Case cases[] = {
        {"trashed.png", true, false, false, 0, "new trashed.png", false},
        {"present.png", false, true, false, 0, "old", false},
        {"emptied.png", false, false, false, 0, "new emptied.png", false}, // the Trash was emptied since
        {"running.png", true, false, false, 1, {}, true}, // its run may still be at it
        {"elsewhere.png", true, false, true, 0, {}, true}, // a listed file not beside its original
    };
    QDir().mkpath(journal());
    for (const Case& c : cases) {
        const QString path = QDir(folder).filePath(QString::fromLatin1(c.name));
        const QString hidden =
            QDir(c.hiddenElsewhere ? outside : folder).filePath(FileOperations::replacementName(gone, uuid()));
        writeFile(hidden, QByteArray("new ") + c.name);
        if (c.trashed || c.present)
            writeFile(path, "old");
        if (c.trashed) {
            ASSERT_TRUE(Trash::moveToTrash(path).ok);
        }
        const QString entry = QStringLiteral("%1.%2.%3.entry").arg(c.pid ? c.pid : gone).arg(uuid(), uuid());
        writeFile(QDir(journal()).filePath(entry),
                  "original=" + Trash::encodePath(path) + "\nreplacement=" + Trash::encodePath(hidden) + '\n');
    }

    EXPECT_EQ(ReplacementJournal(journal()).recoverInterrupted(), 4);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = QDir(folder).filePath(QString::fromLatin1(c.name));
        EXPECT_EQ(QFileInfo::exists(path), !c.expectedAtPath.isEmpty());
        EXPECT_EQ(readFile(path), c.expectedAtPath);
        const QStringList hidden = hiddenLeftovers(c.hiddenElsewhere ? outside : folder);
        const bool remains = std::any_of(hidden.begin(), hidden.end(), [&](const QString& name) {
            return readFile(QDir(c.hiddenElsewhere ? outside : folder).filePath(name)) == QByteArray("new ") + c.name;
        });
        EXPECT_EQ(remains, c.hiddenRemains);
    }
    EXPECT_EQ(QDir(journal()).entryList(QDir::Files).size(), 1) << "only the running run's entry stays";
}
