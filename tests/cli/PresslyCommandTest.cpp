#include "TestSupport.h"
#include "platform/ImageIO.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

struct RunResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the built `pressly` with its home, settings, data and temporary
// folders all inside one private folder.
class PresslyCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* dir : {"home", "config", "data", "tmp", "in"})
            QDir(root.path()).mkpath(QString::fromLatin1(dir));
        for (const QString& name : QDir(dataFile("png")).entryList(QDir::Files))
            copyInto(QStringLiteral("png/") + name, in());
    }

    QString in() const { return QDir(root.path()).filePath("in"); }
    QString tmp() const { return QDir(root.path()).filePath("tmp"); }
    QString trash() const { return QDir(root.path()).filePath("data/Trash/files"); }

    RunResult pressly(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", QDir(root.path()).filePath("home"));
        env.insert("XDG_CONFIG_HOME", QDir(root.path()).filePath("config"));
        env.insert("XDG_DATA_HOME", QDir(root.path()).filePath("data"));
        env.insert("TMPDIR", tmp());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(PRESSLY_BINARY_DIR "/bin/pressly"), arguments);
        process.waitForFinished(120000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }

    static QJsonObject summaryOf(const QString& out)
    {
        const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        return QJsonDocument::fromJson(lines.last().toUtf8()).object().value("summary").toObject();
    }

    void expectSameImages(const QString& optimizedDir)
    {
        for (const QString& name : QDir(dataFile("png")).entryList(QDir::Files)) {
            const QString optimized = QDir(optimizedDir).filePath(name);
            ASSERT_TRUE(QFileInfo::exists(optimized)) << qPrintable(name);
            EXPECT_EQ(ImageIO::decodedSize(optimized), ImageIO::decodedSize(dataFile("png/" + name)))
                << qPrintable(name);
            EXPECT_LE(QFileInfo(optimized).size(), QFileInfo(dataFile("png/" + name)).size()) << qPrintable(name);
        }
    }

    bool temporaryFolderIsEmpty() const { return QDir(tmp()).entryList(QDir::Files | QDir::Hidden).isEmpty(); }

    QTemporaryDir root;
};

} // namespace

TEST_F(PresslyCommandTest, ExportsSmallerCopiesAndLeavesTheOriginals)
{
    const QString out = QDir(root.path()).filePath("out");
    const RunResult run = pressly({"--export", out, "--json", in()});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);

    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    const int files = int(QDir(in()).entryList(QDir::Files).size());
    ASSERT_EQ(lines.size(), files + 1) << "one object per job and a summary, nothing else";
    for (const QString& line : lines)
        EXPECT_FALSE(QJsonDocument::fromJson(line.toUtf8()).isNull()) << qPrintable(line);
    const QJsonObject summary = summaryOf(run.out);
    EXPECT_EQ(summary["files"].toInt(), files);
    EXPECT_EQ(summary["failed"].toInt(), 0);
    EXPECT_GT(summary["optimized"].toInt(), 0);
    EXPECT_LT(summary["bytesAfter"].toInteger(), summary["bytesBefore"].toInteger());

    expectSameImages(out);
    for (const QString& name : QDir(in()).entryList(QDir::Files))
        EXPECT_EQ(readFile(QDir(in()).filePath(name)), readFile(dataFile("png/" + name))) << "originals untouched";
    EXPECT_TRUE(temporaryFolderIsEmpty());
}

TEST_F(PresslyCommandTest, InPlaceTrashesOriginalsAndASecondRunIsServedByTheCache)
{
    const RunResult first = pressly({"--in-place", "--preset", "lossless", "--json", in()});
    ASSERT_EQ(first.exitCode, 0) << qPrintable(first.err);
    const QJsonObject summary = summaryOf(first.out);
    const int optimized = summary["optimized"].toInt();
    EXPECT_GT(optimized, 0);

    expectSameImages(in());
    const QStringList trashed = QDir(trash()).entryList(QDir::Files);
    EXPECT_EQ(trashed.size(), optimized) << "exactly the replaced originals are in the Trash";
    for (const QString& name : trashed)
        EXPECT_EQ(readFile(QDir(trash()).filePath(name)), readFile(dataFile("png/" + name)));
    EXPECT_TRUE(QDir(in()).entryList(QDir::Hidden | QDir::Files).filter(".Pressly").isEmpty());
    EXPECT_TRUE(temporaryFolderIsEmpty());

    const RunResult second = pressly({"--in-place", "--preset", "lossless", "--json", in()});
    ASSERT_EQ(second.exitCode, 0);
    const QJsonObject again = summaryOf(second.out);
    EXPECT_EQ(again["skippedByCache"].toInt(), again["files"].toInt());
    EXPECT_EQ(QDir(trash()).entryList(QDir::Files).size(), trashed.size()) << "nothing replaced twice";

    // The flag served this run only.
    QSettings stored(QDir(root.path()).filePath("config/Pressly/Pressly Pro.conf"), QSettings::IniFormat);
    EXPECT_TRUE(stored.contains("allTimeTotalFilesProcessed")) << "statistics are kept as the window keeps them";
    EXPECT_FALSE(stored.contains("compressionPreset"));
    EXPECT_FALSE(stored.contains("operationMode"));
}

TEST_F(PresslyCommandTest, FailedFilesAndUsageErrorsHaveTheirOwnExitStatus)
{
    const QString out = QDir(root.path()).filePath("out");
    const RunResult missing = pressly({"--export", out, "--quiet", QDir(in()).filePath("gone.png")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.out.contains("1 failed")) << qPrintable(missing.out);
    writeFile(QDir(root.path()).filePath("notes.txt"), "not an image");
    for (const QString& inVain : {QDir(root.path()).filePath("gone"), QDir(root.path()).filePath("notes.txt")}) {
        const RunResult run = pressly({"--export", out, "--quiet", inVain});
        EXPECT_EQ(run.exitCode, 1) << qPrintable(inVain);
        EXPECT_TRUE(run.err.contains(inVain)) << qPrintable(run.err);
    }

    const RunResult noFolder = pressly({in()});
    EXPECT_EQ(noFolder.exitCode, 2) << "export mode with no folder stored is a usage error";
    EXPECT_TRUE(noFolder.err.contains("--export")) << qPrintable(noFolder.err);

    EXPECT_EQ(pressly({"--preset", "Maximum", "--in-place", in()}).exitCode, 2);
    EXPECT_EQ(pressly({"--in-place", "--export", out, in()}).exitCode, 2);
    EXPECT_EQ(pressly({"--in-place"}).exitCode, 2);
    for (const QStringList& misuse : {QStringList{"--bogus", in()}, QStringList{"--jobs=0", in()},
                                      QStringList{"--export=", in()}, QStringList{"--preset"}}) {
        const RunResult run = pressly(misuse);
        EXPECT_EQ(run.exitCode, 2) << qPrintable(misuse.join(' '));
        EXPECT_TRUE(run.err.contains("--help")) << qPrintable(run.err);
    }
    // After "--" every word is a path, even one that looks like an option.
    const RunResult dashed = pressly({"--export", out, "--quiet", "--", "--in-place"});
    EXPECT_EQ(dashed.exitCode, 1);
    EXPECT_TRUE(dashed.err.contains("--in-place: no such file or folder")) << qPrintable(dashed.err);
    const RunResult help = pressly({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--no-cache"));
    for (const QString& name : QDir(in()).entryList(QDir::Files))
        EXPECT_EQ(readFile(QDir(in()).filePath(name)), readFile(dataFile("png/" + name)));
}
