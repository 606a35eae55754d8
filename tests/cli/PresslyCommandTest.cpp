// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"
#include "dng/DngSampleWriter.h"
#include "platform/ImageIO.h"
#include "platform/RawImageComparison.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSettings>
#include <QUrl>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/types.h>
#include <unistd.h>

using namespace TestSupport;

namespace {

// Runs the built `pressly` with its home, settings, data and temporary
// folders all inside one private folder.
class PresslyCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(in());
        for (const QString& name : samples())
            copyInto(QStringLiteral("png/") + name, in());
    }

    // One PNG of each kind of pixel: RGBA, grey with alpha, one bit; 16-bit joins where a test names it.
    static QStringList samples()
    {
        return {"adwaita-24x24-legacy-view-restore.png", "debian-debian.png", "imagemagick-objects.png",
                "pingus-flag3.png"};
    }
    QString in() const { return root.filePath("in"); }
    QString tmp() const { return root.filePath("tmp"); }
    QString trash() const { return root.filePath("data/Trash/files"); }

    RunResult pressly(const QStringList& arguments)
    {
        return run(QStringLiteral(PRESSLY_BINARY_DIR "/bin/pressly"), arguments, env);
    }

    static QJsonObject summaryOf(const QString& out)
    {
        const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        return QJsonDocument::fromJson(lines.last().toUtf8()).object().value("summary").toObject();
    }

    void expectSameImages(const QString& optimizedDir)
    {
        for (const QString& name : samples()) {
            const QString optimized = QDir(optimizedDir).filePath(name);
            ASSERT_TRUE(QFileInfo::exists(optimized)) << qPrintable(name);
            EXPECT_EQ(ImageIO::decodedSize(optimized), ImageIO::decodedSize(dataFile("png/" + name)))
                << qPrintable(name);
            EXPECT_LE(QFileInfo(optimized).size(), QFileInfo(dataFile("png/" + name)).size()) << qPrintable(name);
        }
    }
    void expectOriginalsUntouched()
    {
        for (const QString& name : samples())
            EXPECT_EQ(readFile(QDir(in()).filePath(name)), readFile(dataFile("png/" + name))) << qPrintable(name);
    }

    // Our private folder included: it goes when the run ends.
    bool temporaryFolderIsEmpty() const
    {
        return QDir(tmp()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir root;
    QProcessEnvironment env = privateEnvironment(root.path());
};

} // namespace

// What a run could not do is said, each file counts once, a name is never
// read as a format, and a failed file claims no result and keeps its reason.
TEST_F(PresslyCommandTest, ExportsSmallerCopiesReportsWhatItSkippedAndLeavesTheOriginals)
{
    const QString one = QDir(in()).filePath("debian-debian.png");
    ASSERT_TRUE(QFile::copy(dataFile("png/imagemagick-radial-gradient.png"), QDir(in()).filePath("a %1 %3.png")));
    ASSERT_TRUE(std::filesystem::copy_file(QFile::encodeName(one).toStdString(),
                                           (QFile::encodeName(in()) + "/bad-\xff-name.png").toStdString()));
    writeFile(QDir(in()).filePath("drawing.svgz"), "compressed");
    const QString out = root.filePath("out");
    const RunResult run = pressly({"--export", out, "--json", in(), one});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);

    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    const int files = int(samples().size()) + 1;
    ASSERT_EQ(lines.size(), files + 1) << "one object per job and a summary, nothing else; named twice, counted once";
    for (const QString& line : lines)
        EXPECT_FALSE(QJsonDocument::fromJson(line.toUtf8()).isNull()) << qPrintable(line);
    const QJsonObject summary = summaryOf(run.out);
    EXPECT_EQ(summary["files"].toInt(), files);
    EXPECT_EQ(summary["failed"].toInt(), 0);
    EXPECT_GT(summary["optimized"].toInt(), 0);
    EXPECT_LT(summary["bytesAfter"].toInteger(), summary["bytesBefore"].toInteger());
    EXPECT_EQ(summary["skippedInFolders"].toInt(), 2);
    EXPECT_TRUE(run.err.contains("not valid UTF-8") && run.err.contains("drawing.svgz")) << qPrintable(run.err);
    expectSameImages(out);
    expectOriginalsUntouched();
    EXPECT_TRUE(temporaryFolderIsEmpty());

    const RunResult again = pressly({"--export", out, in()});
    EXPECT_TRUE(again.out.contains("2 skipped in folders"));
    EXPECT_TRUE(again.out.contains(QDir(in()).filePath("a %1 %3.png: "))) << qPrintable(again.out);

    const QString notAFolder = root.filePath("a file");
    writeFile(notAFolder, "");
    const RunResult failed = pressly({"--export", notAFolder, "--json", one});
    ASSERT_EQ(failed.exitCode, 1);
    const QJsonObject job = QJsonDocument::fromJson(failed.out.split('\n').first().toUtf8()).object();
    EXPECT_EQ(job["status"].toString(), "failed");
    EXPECT_TRUE(job["bestTool"].isNull() && job["optimizedSize"].isNull()) << qPrintable(failed.out);
    EXPECT_GT(job["error"].toString().size(), QString("File access error: Could not save optimized file: ").size())
        << qPrintable(job["error"].toString());
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

    // Two runs at once add to the figures the window shows, and --statistics tells them.
    QProcess runs[2];
    for (int i = 0; i < 2; ++i) {
        runs[i].setProcessEnvironment(env);
        runs[i].start(PRESSLY_BINARY_DIR "/bin/pressly", {"--export", root.filePath(QString("out%1").arg(i)), in()});
    }
    for (QProcess& process : runs)
        ASSERT_TRUE(process.waitForFinished(120000) && process.exitCode() == 0)
            << process.readAllStandardError().toStdString();
    const RunResult statistics = pressly({"--statistics", "--json"});
    ASSERT_EQ(statistics.exitCode, 0) << qPrintable(statistics.err);
    const QJsonObject report = QJsonDocument::fromJson(statistics.out.toUtf8()).object();
    EXPECT_EQ(report["allTime"].toObject()["filesProcessed"].toInt(), 4 * summary["files"].toInt());
    EXPECT_EQ(report["sessions"].toArray().size(), 4);

    // The flag served this run only.
    QSettings stored(root.filePath("config/Pressly/Pressly Pro.conf"), QSettings::IniFormat);
    EXPECT_FALSE(stored.contains("compressionPreset"));
    EXPECT_FALSE(stored.contains("operationMode"));
}

// Each in the user's language, with its plurals; English ones too ("1 file").
TEST_F(PresslyCommandTest, FailedFilesAndUsageErrorsHaveTheirOwnExitStatus)
{
    const QString out = root.filePath("out"), gone = root.filePath("gone"), gonePng = QDir(in()).filePath("gone.png");
    const QString notes = root.filePath("notes.txt");
    writeFile(notes, "not an image");
    const QString german = "de_DE.UTF-8";
    // said: a part of what it prints
    const struct {
        QStringList arguments;
        int status;
        QString said;
        QString locale = "C.UTF-8";
    } cases[] = {
        {{"--export", out, "--quiet", gonePng}, 1, "1 file: 0 optimized, 1 failed"},
        {{"--export", out, "--quiet", gonePng}, 1, "1 Datei: 0 optimiert, 1 fehlgeschlagen", german},
        {{"--help"}, 0, "Aufruf: pressly [OPTIONEN] PFAD …", german},
        {{"--jobs=0", in()}, 2, "--jobs erwartet eine ganze Zahl von 1 bis 256\nWeitere Informationen", german},
        {{"--export", out, "--quiet", gone}, 1, gone},
        {{"--export", out, "--quiet", notes}, 1, notes},
        {{in()}, 2, "--export"}, // export mode with no folder stored
        {{"--preset", "Maximum", "--in-place", in()}, 2, "--help"},
        {{"--in-place", "--export", out, in()}, 2, ""},
        {{"--in-place"}, 2, ""},
        {{"--bogus", in()}, 2, "--help"},
        {{"--jobs=0", in()}, 2, "--help"},
        {{"--export=", in()}, 2, "--help"},
        {{"--export", "--in-place", in()}, 2, "--export needs a folder, not “--in-place”"},
        {{"--preset"}, 2, "--help"},
        // After "--" every word is a path, even one that looks like an option.
        {{"--export", out, "--quiet", "--", "--in-place"}, 1, "--in-place: no such file or folder"},
        {{"--help"}, 0, "--no-cache"},
        // What a launcher hands over for %U.
        {{"--export", out, "--quiet",
          QUrl::fromLocalFile(QDir(in()).filePath("pingus-flag3.png")).toString(QUrl::FullyEncoded)},
         0,
         "0 failed"},
        {{"--export", out, "--quiet", "https://example.com/a.png"},
         1,
         "Only local files can be optimized: https://example.com/a.png"},
    };
    // A killed run's copies of images go with the next run, whatever it has to do.
    QProcess ended;
    ended.start("true");
    ASSERT_TRUE(ended.waitForStarted());
    const QString leftover = QDir(tmp()).filePath(QString("Pressly.%1.AbCdEf").arg(ended.processId()));
    ASSERT_TRUE(ended.waitForFinished());
    QDir().mkpath(leftover);
    copyInto("png/pingus-flag3.png", leftover);
    for (const auto& c : cases) {
        env.insert("LC_ALL", c.locale);
        const RunResult ran = pressly(c.arguments);
        EXPECT_EQ(ran.exitCode, c.status) << qPrintable(c.arguments.join(' '));
        EXPECT_TRUE((ran.out + ran.err).contains(c.said)) << qPrintable(ran.out + ran.err);
    }
    expectOriginalsUntouched();
    EXPECT_FALSE(QFileInfo::exists(leftover));

    // libvips' own complaints stay behind pressly.vips: the failure line says why.
    const QString cut = root.filePath("cut.png");
    writeFile(cut, readFile(QDir(in()).filePath("debian-debian.png")).left(9000));
    const RunResult damaged = pressly({"--export", out, "--no-cache", cut});
    EXPECT_TRUE(damaged.out.contains("damaged or incomplete")) << qPrintable(damaged.out);
    EXPECT_FALSE((damaged.out + damaged.err).contains("not enough data")) << qPrintable(damaged.out + damaged.err);

    // A name that is not UTF-8 exists, and the run says what is wrong with it.
    const QByteArray latin1 = QFile::encodeName(in()) + "/caf\xe9.png";
    ::close(::open(latin1.constData(), O_CREAT | O_WRONLY, 0644));
    const RunResult named = run("/bin/sh",
                                {"-c", "exec \"$0\" --export \"$1\" \"$(printf \"$2/caf\\351.png\")\"",
                                 PRESSLY_BINARY_DIR "/bin/pressly", out, in()},
                                env);
    EXPECT_EQ(named.exitCode, 1);
    EXPECT_TRUE(named.err.contains("not valid UTF-8")) << qPrintable(named.err);
    ::unlink(latin1.constData());
}

// By default one line per file and the summary; the tools' lines when asked
// for, by flag or logging rule; colour only on a terminal without NO_COLOR.
TEST_F(PresslyCommandTest, PrintsALinePerFileAndToolLinesOnlyWhenAsked)
{
    const QString out = root.filePath("out");
    const QString small = QDir(in()).filePath("pingus-flag3.png");
    const QString gone = QDir(in()).filePath("gone.png");
    const RunResult plain = pressly({"--export", out, small, gone});
    EXPECT_EQ(plain.out.count('\n'), 2 + 2) << qPrintable(plain.out);
    EXPECT_TRUE(plain.out.contains(
        QRegularExpression("^" + QRegularExpression::escape(small) + ": \\d+ bytes → \\d+ bytes \\(−\\d+%\\) pngquant$",
                           QRegularExpression::MultilineOption)))
        << qPrintable(plain.out);
    EXPECT_TRUE(plain.out.contains(gone + ": failed: ")) << qPrintable(plain.out);
    EXPECT_FALSE(plain.out.contains("\033[") || plain.out.contains("Executing") || plain.err.contains("Executing"));

    const std::tuple<QStringList, const char*, bool> toolLines[] = {
        {{"--verbose"}, "", true}, {{}, "pressly.tools=true", true}, {{"--verbose"}, "pressly.*=false", false}};
    for (const auto& [flags, rules, shown] : toolLines) {
        QProcessEnvironment withRules = env;
        withRules.insert("QT_LOGGING_RULES", rules);
        const RunResult ran = run(PRESSLY_BINARY_DIR "/bin/pressly",
                                  flags + QStringList{"--no-cache", "--export", out, small}, withRules);
        EXPECT_EQ(ran.out.contains("Executing"), shown) << rules;
    }

    // On a terminal (script(1) gives it one).
    const QString line = QStringLiteral(PRESSLY_BINARY_DIR "/bin/pressly --no-cache --export ") + out + " " + small;
    for (const auto& [noColor, coloured] : {std::pair{"", true}, std::pair{"1", false}}) {
        QProcessEnvironment terminal = env;
        terminal.remove("NO_COLOR");
        if (*noColor)
            terminal.insert("NO_COLOR", noColor);
        EXPECT_EQ(run("script", {"-qec", line, "/dev/null"}, terminal).out.contains("\033[32m"), coloured) << noColor;
    }
    EXPECT_TRUE(pressly({"--version"}).out.startsWith("pressly "));
}

// A signal stops the batch in order: tools are ended, working files removed,
// and the status tells which signal it was.
TEST_F(PresslyCommandTest, ASignalStopsTheToolsAndCleansUp)
{
    // A copy of the program whose bundled oxipng never finishes by itself.
    const QString program = root.filePath("app/bin/pressly");
    const QString tools = root.filePath("app/share/pressly-pro/BundledTools/bin");
    const QString pids = root.filePath("tool.pids");
    QDir().mkpath(QFileInfo(program).path());
    QDir().mkpath(tools);
    ASSERT_TRUE(QFile::copy(PRESSLY_BINARY_DIR "/bin/pressly", program));
    writeFile(tools + "/oxipng", "#!/bin/sh\necho $$ >> '" + pids.toUtf8() + "'\nsleep 60\n");
    for (const QString& path : {program, tools + "/oxipng"})
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);

    // A stopped file is cancelled, whatever the mode: nothing of it is placed or exported.
    const QString out = root.filePath("out");
    const std::tuple<int, int, QStringList> cases[] = {
        {SIGINT, 130, {"--export", out}}, {SIGTERM, 143, {"--in-place"}}, {SIGHUP, 129, {"--in-place"}}};
    for (const auto& [signal, status, mode] : cases) {
        SCOPED_TRACE(signal);
        QFile::remove(pids);
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, mode + QStringList{"--json", "--preset", "lossless", "--jobs", "2", in()});
        ASSERT_TRUE(processEventsUntil([&] { return readFile(pids).count('\n') >= 2; }, 30000));
        QElapsedTimer clock;
        clock.start();
        ::kill(pid_t(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_LT(clock.elapsed(), 10000);
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), status) << process.readAllStandardError().toStdString();
        const QString lines = QString::fromUtf8(process.readAllStandardOutput());
        const int files = int(QDir(in()).entryList(QDir::Files).size());
        EXPECT_EQ(lines.count("\"status\":\"cancelled\""), files) << qPrintable(lines);
        EXPECT_EQ(summaryOf(lines).value("cancelled").toInt(), files);
        EXPECT_TRUE(QDir(out).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) << "nothing exported";
        for (const QByteArray& pid : readFile(pids).split('\n'))
            EXPECT_TRUE(pid.isEmpty() || ::kill(pid_t(pid.toLongLong()), 0) != 0) << "tool " << pid.toStdString();
        EXPECT_TRUE(temporaryFolderIsEmpty()) << qPrintable(QDir(tmp()).entryList().join(' '));
        expectOriginalsUntouched();
    }
}

// Raw files shrink, verified, with the originals in the Trash; previews go only under maximum.
TEST_F(PresslyCommandTest, DngFilesAreRepackedInPlace)
{
    for (const QString preset : {"maximum", "balanced"}) {
        SCOPED_TRACE(qPrintable(preset));
        const QString folder = root.filePath(preset), name = preset + ".dng";
        QDir().mkpath(folder);
        const DngSample sample{
            .width = 901, .height = 600, .bits = uint16_t(preset == "maximum" ? 12 : 14), .preview = true};
        ASSERT_TRUE(DngSampleWriter::write(QDir(folder).filePath(name), sample));
        const auto ran = pressly({"--in-place", "--preset", preset, "--json", folder});
        ASSERT_EQ(ran.exitCode, 0);
        EXPECT_TRUE(ran.out.contains(R"("bestTool":"DNG re-pack")")) << qPrintable(ran.out);
        const QString now = QDir(folder).filePath(name), trashed = QDir(trash()).filePath(name);
        ASSERT_TRUE(QFileInfo::exists(trashed));
        EXPECT_LT(QFileInfo(now).size(), QFileInfo(trashed).size() * 8 / 10);
        EXPECT_EQ(RawImageComparison::difference(trashed, now), std::nullopt);
        EXPECT_EQ(RawFacts::of(now).thumbnailWidth, preset == "maximum" ? 0 : RawFacts::of(trashed).thumbnailWidth);
    }
}
