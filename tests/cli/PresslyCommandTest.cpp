#include "TestSupport.h"
#include "platform/ImageIO.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/types.h>

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

    void prepare(QProcess& process, const QString& program, const QStringList& arguments)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", QDir(root.path()).filePath("home"));
        env.insert("XDG_CONFIG_HOME", QDir(root.path()).filePath("config"));
        env.insert("XDG_DATA_HOME", QDir(root.path()).filePath("data"));
        env.insert("TMPDIR", tmp());
        process.setProcessEnvironment(env);
        process.setProgram(program);
        process.setArguments(arguments);
    }

    RunResult pressly(const QStringList& arguments)
    {
        QProcess process;
        prepare(process, QStringLiteral(PRESSLY_BINARY_DIR "/bin/pressly"), arguments);
        process.start();
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

    // Our private folder included: it goes when the run ends.
    bool temporaryFolderIsEmpty() const { return QDir(tmp()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }

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

// What a run could not do is said, each file counts once, a name is never
// read as a format, and a failed file claims no result and keeps its reason.
TEST_F(PresslyCommandTest, ReportsWhatItSkippedAndWhyAFileFailed)
{
    const QString one = QDir(in()).filePath("debian-debian.png");
    ASSERT_TRUE(QFile::copy(dataFile("png/imagemagick-radial-gradient.png"), QDir(in()).filePath("a %1 %3.png")));
    const QByteArray badName = QFile::encodeName(in()) + "/bad-\xff-name.png";
    std::FILE* bad = std::fopen(badName.constData(), "wb");
    ASSERT_NE(bad, nullptr);
    const QByteArray image = readFile(one);
    std::fwrite(image.constData(), 1, size_t(image.size()), bad);
    std::fclose(bad);
    writeFile(QDir(in()).filePath("drawing.svgz"), "compressed");
    const QString out = QDir(root.path()).filePath("out");
    const RunResult run = pressly({"--export", out, "--json", in(), one});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    const QJsonObject summary = summaryOf(run.out);
    EXPECT_EQ(summary["files"].toInt(), QDir(dataFile("png")).entryList(QDir::Files).size() + 1)
        << "named twice, counted once";
    EXPECT_EQ(summary["skippedInFolders"].toInt(), 2);
    EXPECT_TRUE(run.err.contains("not valid UTF-8") && run.err.contains("drawing.svgz")) << qPrintable(run.err);
    const RunResult again = pressly({"--export", out, in()});
    EXPECT_TRUE(again.out.contains("2 skipped in folders"));
    EXPECT_TRUE(again.out.contains(QDir(in()).filePath("a %1 %3.png: "))) << qPrintable(again.out);
    EXPECT_TRUE(QFileInfo::exists(QDir(out).filePath("a %1 %3 (1).png")));

    const QString notAFolder = QDir(root.path()).filePath("a file");
    writeFile(notAFolder, "");
    const RunResult failed = pressly({"--export", notAFolder, "--json", one});
    ASSERT_EQ(failed.exitCode, 1);
    const QJsonObject job = QJsonDocument::fromJson(failed.out.split('\n').first().toUtf8()).object();
    EXPECT_EQ(job["status"].toString(), "failed");
    EXPECT_TRUE(job["bestTool"].isNull() && job["optimizedSize"].isNull()) << qPrintable(failed.out);
    EXPECT_GT(job["error"].toString().size(), QString("File access error: Could not save optimized file: ").size())
        << qPrintable(job["error"].toString());
}

// By default one line per file and the summary; the tools' lines when asked
// for, by flag or logging rule; colour only on a terminal without NO_COLOR.
TEST_F(PresslyCommandTest, PrintsALinePerFileAndToolLinesOnlyWhenAsked)
{
    const QString out = QDir(root.path()).filePath("out");
    const QString small = QDir(in()).filePath("pingus-flag3.png");
    const QString gone = QDir(in()).filePath("gone.png");
    const RunResult plain = pressly({"--export", out, small, gone});
    EXPECT_EQ(plain.out.count('\n'), 2 + 2) << qPrintable(plain.out);
    EXPECT_TRUE(plain.out.contains(QRegularExpression("^" + QRegularExpression::escape(small)
                                                      + ": \\d+ bytes → \\d+ bytes \\(−\\d+%\\) pngquant$",
                                                      QRegularExpression::MultilineOption)))
        << qPrintable(plain.out);
    EXPECT_TRUE(plain.out.contains(gone + ": failed: ")) << qPrintable(plain.out);
    EXPECT_FALSE(plain.out.contains("\033[") || plain.out.contains("🔧") || plain.err.contains("🔧"));

    const std::tuple<QStringList, const char*, bool> toolLines[] = {
        {{"--verbose"}, "", true}, {{}, "pressly.tools=true", true}, {{"--verbose"}, "pressly.*=false", false}};
    for (const auto& [flags, rules, shown] : toolLines) {
        QProcess run;
        prepare(run, QStringLiteral(PRESSLY_BINARY_DIR "/bin/pressly"), flags + QStringList{"--no-cache", "--export", out, small});
        QProcessEnvironment env = run.processEnvironment();
        env.insert("QT_LOGGING_RULES", rules);
        run.setProcessEnvironment(env);
        run.start();
        run.waitForFinished(120000);
        EXPECT_EQ(QString::fromUtf8(run.readAllStandardOutput()).contains("🔧 Executing"), shown) << rules;
    }

    // On a terminal (script(1) gives it one).
    const QString line = QStringLiteral(PRESSLY_BINARY_DIR "/bin/pressly --no-cache --export ") + out + " " + small;
    for (const auto& [noColor, coloured] : {std::pair{"", true}, std::pair{"1", false}}) {
        QProcess terminal;
        prepare(terminal, "script", {"-qec", line, "/dev/null"});
        QProcessEnvironment env = terminal.processEnvironment();
        env.remove("NO_COLOR");
        if (*noColor)
            env.insert("NO_COLOR", noColor);
        terminal.setProcessEnvironment(env);
        terminal.start();
        terminal.waitForFinished(120000);
        EXPECT_EQ(terminal.readAllStandardOutput().contains("\033[32m"), coloured) << noColor;
    }
    EXPECT_TRUE(pressly({"--version"}).out.startsWith("pressly "));
}

// A signal stops the batch in order: tools are ended, working files removed,
// and the status tells which signal it was.
TEST_F(PresslyCommandTest, ASignalStopsTheToolsAndCleansUp)
{
    // A copy of the program whose bundled oxipng never finishes by itself.
    const QString program = QDir(root.path()).filePath("app/bin/pressly");
    const QString tools = QDir(root.path()).filePath("app/share/pressly-pro/BundledTools/bin");
    const QString pids = QDir(root.path()).filePath("tool.pids");
    QDir().mkpath(QFileInfo(program).path());
    QDir().mkpath(tools);
    ASSERT_TRUE(QFile::copy(PRESSLY_BINARY_DIR "/bin/pressly", program));
    writeFile(tools + "/oxipng", "#!/bin/sh\necho $$ >> '" + pids.toUtf8() + "'\nsleep 60\n");
    for (const QString& path : {program, tools + "/oxipng"})
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);

    const std::pair<int, int> cases[] = {{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}};
    for (const auto& [signal, status] : cases) {
        SCOPED_TRACE(signal);
        QFile::remove(pids);
        QProcess process;
        prepare(process, program, {"--in-place", "--preset", "lossless", "--jobs", "2", in()});
        process.start();
        ASSERT_TRUE(processEventsUntil([&] { return readFile(pids).count('\n') >= 2; }, 30000));
        QElapsedTimer clock;
        clock.start();
        ::kill(pid_t(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_LT(clock.elapsed(), 10000);
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), status) << process.readAllStandardError().toStdString();
        for (const QByteArray& pid : readFile(pids).split('\n'))
            EXPECT_TRUE(pid.isEmpty() || ::kill(pid_t(pid.toLongLong()), 0) != 0) << "tool " << pid.toStdString();
        EXPECT_TRUE(temporaryFolderIsEmpty()) << qPrintable(QDir(tmp()).entryList().join(' '));
        for (const QString& name : QDir(dataFile("png")).entryList(QDir::Files))
            EXPECT_EQ(readFile(QDir(in()).filePath(name)), readFile(dataFile("png/" + name)));
    }
}
