// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolSandbox.h"
#include "jobs/OptimizationJob.h"
#include "scheduler/FakeWorkers.h"
#include "workers/GifsicleWorker.h"
#include "workers/MissingTools.h"
#include "workers/OxiPngWorker.h"
#include "workers/PngquantWorker.h"
#include "workers/RunningTools.h"
#include "workers/SvgcleanerWorker.h"
#include "workers/TemporaryFiles.h"
#include "workers/ToolMemoryLimit.h"
#include "workers/ToolSession.h"

#include <QElapsedTimer>
#include <QTimer>

#include <sys/resource.h>

using namespace TestSupport;

namespace {

class StandInWorker : public BaseCommandWorker {
public:
    StandInWorker() : BaseCommandWorker(QStringLiteral("stand-in (tool)")) { }

    Outcome<ProcessResult> execute(const QString& executable, const QStringList& arguments, IOFile::Ptr input = nullptr,
                                   std::optional<QUrl> output = std::nullopt)
    {
        return awaitOutcome(executeProcess(executable, arguments, std::move(input), std::move(output)));
    }

    QCoro::Task<Outcome<bool>> optimizeFile(IOFile::Ptr, QUrl) override { co_return Outcome<bool>::success(false); }
};

class ToolRunner : public ::testing::Test {
protected:
    ToolSandbox sandbox;
    StandInWorker worker;
};

// A zombie waiting for init to reap it counts as gone.
bool isAlive(const QString& pidFile)
{
    const QByteArray pid = readFile(pidFile).trimmed();
    const QByteArray stat = readFile("/proc/" + QString::fromLatin1(pid) + "/stat");
    return !pid.isEmpty() && !stat.isEmpty() && stat.mid(stat.lastIndexOf(')') + 2, 1) != "Z";
}

} // namespace

TEST_F(ToolRunner, ReportsExitStatusAndBothStreamsWhateverTheChildDoes)
{
    // Never a higher priority than ours, should the tests themselves run niced.
    const QString nice = QString::number(std::max(10, getpriority(PRIO_PROCESS, 0)));
    // Memory in proportion to the image the job declared.
    const auto job = OptimizationJob::create(QUrl::fromLocalFile(dataFile("png/pingus-flag3.png")));
    job->setDeclaredPixels(100'000'000);
    worker.setJob(job);
    rlimit ours{};
    getrlimit(RLIMIT_AS, &ours);
    const QString memory = ToolMemoryLimit::enforced ? QString::number(
                               std::min<rlim_t>(ours.rlim_cur, (qint64(2) << 30) + 3'200'000'000) / 1024)
                                                     : QStringLiteral("unlimited");
    struct Case {
        QByteArray script;
        QStringList arguments;
        int exitCode;
        QString output, error;
    };
    const Case cases[] = {
        {"echo out; echo err >&2; exit 3", {"a", "b"}, 3, "out\n", "err\n"},
        {"printf 'ok'; printf '\\377\\376x' >&2", {}, 0, "ok", ""}, // invalid UTF-8 is empty text, no failure
        {R"(for a in "$@"; do echo "[$a]"; done)",
         {"a path/with spaces (1).png", "", "--x=$HOME", "*", "ü 🎨"},
         0,
         "[a path/with spaces (1).png]\n[]\n[--x=$HOME]\n[*]\n[ü 🎨]\n",
         ""},
        {"cut -d' ' -f19 /proc/self/stat; pwd", {}, 0, nice + "\n" + TemporaryFiles::directory() + "\n", ""},
        {"ulimit -v", {}, 0, memory + "\n", ""},
        // Far more than a pipe holds (64 KiB): the child blocks unless we keep reading.
        {"head -c 6000000 /dev/zero | tr '\\0' e >&2; head -c 3000000 /dev/zero | tr '\\0' o; exit 4",
         {},
         4,
         QString(3000000, 'o'),
         QString(6000000, 'e')},
        {"kill -KILL $$", {}, 128 + 9, "", ""}, // a killed child is never a success
        {"timeout 5 cat && echo end", {}, 0, "end\n", ""}, // standard input is at its end, not an open pipe
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script.constData());
        const QString tool = sandbox.writeScript(sandbox.systemDir() + "/tool", c.script);
        const auto result = worker.execute(tool, c.arguments);
        ASSERT_FALSE(result.failed());
        EXPECT_EQ(result.value().exitCode, c.exitCode);
        EXPECT_TRUE(result.value().output == c.output) << result.value().output.left(200).toStdString();
        EXPECT_TRUE(result.value().error == c.error) << result.value().error.left(200).toStdString();
    }
    EXPECT_TRUE(sandbox.lines().contains("Executing: " + sandbox.systemDir() + "/tool a b"));
}

TEST_F(ToolRunner, StandardInputAndOutputAreFilesAndAnyFailureToStartIsAToolError)
{
    const QString tool = sandbox.writeScript(sandbox.systemDir() + "/tool", "cat; echo note >&2");
    const QString inputPath = copyInto("png/pingus-flag3.png", sandbox.filesDir());
    const QString outputPath = sandbox.filesDir() + "/out put.png";
    writeFile(outputPath, QByteArray(5000, 'z')); // replaced, not appended to
    const auto input = IOFile::read(QUrl::fromLocalFile(inputPath));
    ASSERT_TRUE(input);

    const auto result = worker.execute(tool, {}, input, QUrl::fromLocalFile(outputPath));
    ASSERT_FALSE(result.failed());
    EXPECT_EQ(result.value().output, "");
    EXPECT_EQ(result.value().error, "note\n");
    EXPECT_EQ(readFile(outputPath), readFile(inputPath));

    // A program that cannot start is a tool error too.
    const QString notExecutable = sandbox.systemDir() + "/plain";
    writeFile(notExecutable, "#!/bin/sh\nexit 0\n");
    const auto gone = std::make_shared<IOFile>(QUrl::fromLocalFile(sandbox.filesDir() + "/gone.png"), IOFileType::png,
                                               10);
    const std::tuple<QString, IOFile::Ptr, QString, const char*> failures[] = {
        {tool, gone, outputPath, "Could not read input file"},
        {tool, input, sandbox.filesDir() + "/no/such/dir/out.png", "Could not create output file"},
        {sandbox.systemDir() + "/nothing-here", input, outputPath, ""},
        {notExecutable, input, outputPath, ""}};
    for (const auto& [program, in, out, error] : failures) {
        const auto failed = worker.execute(program, {}, in, QUrl::fromLocalFile(out));
        ASSERT_TRUE(failed.failed()) << qPrintable(program);
        EXPECT_EQ(failed.error().kind(), OptimizationError::Kind::toolExecutionError);
        EXPECT_TRUE(failed.error().errorDescription().startsWith(QStringLiteral("stand-in (tool) failed: ") + error));
        EXPECT_GT(failed.error().message().size(), 0);
    }
}

// Looked for in the bundle's BundledTools/bin, bin and top folder, then the
// folders of PATH in order; every tool runs in our private folder.
TEST_F(ToolRunner, LookupPrefersTheResourcesThenPathAndLogsOneLine)
{
    const QString bundled = sandbox.bundledDir() + "/tool", inBin = sandbox.resourcesDir() + "/bin/tool",
                  top = sandbox.resourcesDir() + "/tool", inSystem = sandbox.systemDir() + "/tool";
    for (const QString& path : {bundled, inBin, top, inSystem})
        sandbox.writeScript(path, "pwd");
    const std::pair<QString, QString> steps[] = {{bundled, "Found tool in app bundle BundledTools/bin/: "},
                                                 {inBin, "Found tool in app bundle bin/: "},
                                                 {top, "Found tool in app bundle: "},
                                                 {inSystem, "Found tool in system: "}};
    for (const auto& [path, line] : steps) {
        sandbox.clear();
        EXPECT_EQ(ToolLocator::findTool("tool"), path);
        EXPECT_EQ(sandbox.lines(), QStringList{line + path});
        EXPECT_EQ(worker.execute(path, {}).value().output.trimmed(), TemporaryFiles::directory());
        QFile::remove(path);
    }
    {
        ToolLocator::overrideSystemDirs(std::nullopt);
        const QByteArray path = qgetenv("PATH");
        const QString first = sandbox.filesDir(), second = sandbox.systemDir();
        qputenv("PATH", QString("relative:" + first + "::" + second).toUtf8());
        for (const QString& dir : {second, first, QString("relative")}) {
            QDir().mkpath(dir);
            sandbox.writeScript(dir + "/tool", "");
        }
        EXPECT_EQ(ToolLocator::findSystemTool("tool"), first + "/tool");
        QFile::remove(first + "/tool");
        EXPECT_EQ(ToolLocator::findSystemTool("tool"), second + "/tool") << "never the current folder";
        qputenv("PATH", path);
        QDir("relative").removeRecursively();
        QFile::remove(second + "/tool");
        ToolLocator::overrideSystemDirs(QStringList{sandbox.systemDir()});
    }
    sandbox.clear();
    QStringList missing;
    const auto told = QObject::connect(&MissingTools::shared(), &MissingTools::missing,
                                       [&missing](const QString& tool) { missing << tool; });
    EXPECT_EQ(ToolLocator::findTool("tool"), std::nullopt);
    QObject::disconnect(told);
    EXPECT_EQ(sandbox.lines(), QStringList{"tool is not installed"});
    EXPECT_EQ(missing, QStringList{"tool"});
    sandbox.writeScript(inSystem, "");
    writeFile(top, ""); // existence is enough in the bundle: no permission test
    EXPECT_EQ(ToolLocator::findTool("tool"), top);
    {
        const ToolSession batch(1);
        EXPECT_EQ(ToolLocator::findTool("tool"), top);
        QFile::remove(top);
        EXPECT_EQ(ToolLocator::findTool("tool"), top) << "looked for once in a batch";
    }
    const ToolSession next(1);
    EXPECT_EQ(ToolLocator::findTool("tool"), inSystem) << "the next batch looks again";
    sandbox.clear();
    EXPECT_EQ(ToolLocator::findSystemTool("tool"), inSystem);
    EXPECT_EQ(ToolLocator::findSystemTool("absent"), std::nullopt);
    EXPECT_TRUE(sandbox.lines().isEmpty()) << "the system lookup logs nothing";
}

// A tool that overruns its time, or runs when the batch is cancelled, is ended
// with whatever it started, and its attempt fails with the reason; one whose
// batch was cancelled before it started never starts.
TEST_F(ToolRunner, AToolIsStoppedByItsTimeOutOrACancel)
{
    const QString pidFile = sandbox.filesDir() + "/child.pid";
    enum class Cancel { no, whileRunning, before };
    const struct {
        const char* name;
        QByteArray body;
        Cancel cancel;
        QString reason;
    } cases[] = {
        {"time-out", "sleep 30 & echo $! > \"$1\"; wait", Cancel::no, "Stopped after running for 0.3 s"},
        {"time-out, TERM ignored", "trap '' TERM; sleep 30 & echo $! > \"$1\"; wait", Cancel::no, "Stopped after"},
        {"cancel", "sleep 30 & echo $! > \"$1\"; wait", Cancel::whileRunning, "Stopped because"},
        {"cancel before it starts", "sleep 30 & echo $! > \"$1\"; wait", Cancel::before, "Not started"},
    };
    qputenv("PRESSLY_TOOL_TIMEOUT", "0.3");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(pidFile);
        const QString tool = sandbox.writeScript(sandbox.systemDir() + "/tool", c.body);
        const auto job = OptimizationJob::create(QUrl::fromLocalFile(dataFile("png/pingus-flag3.png")));
        CancellationFlag batch;
        job->setBatchCancel(batch);
        worker.setJob(job);
        if (c.cancel == Cancel::before)
            batch.cancel();
        if (c.cancel == Cancel::whileRunning) {
            qputenv("PRESSLY_TOOL_TIMEOUT", "60");
            QTimer::singleShot(300, [] { RunningTools::shared().stopAll("Stopped because the batch was cancelled"); });
        }
        QElapsedTimer clock;
        clock.start();
        const auto result = worker.execute(tool, {pidFile});
        ASSERT_TRUE(result.failed());
        EXPECT_EQ(result.error().kind(), OptimizationError::Kind::toolExecutionError);
        EXPECT_TRUE(result.error().message().startsWith(c.reason)) << qPrintable(result.error().message());
        EXPECT_LT(clock.elapsed(), 300 + RunningTools::grace.count() + 1500);
        EXPECT_EQ(QFile::exists(pidFile), c.cancel != Cancel::before);
        EXPECT_TRUE(processEventsUntil([&] { return !isAlive(pidFile); }, 2000)) << "the tool's own child is gone";
        EXPECT_EQ(RunningTools::shared().count(), 0);
    }
    qunsetenv("PRESSLY_TOOL_TIMEOUT");
}

TEST(ToolTimeOut, GrowsWithTheFile)
{
    using std::chrono::seconds;
    const std::pair<qint64, seconds> cases[] = {{0, seconds(60)}, {999'999, seconds(60)}, {25'500'000, seconds(310)}};
    for (const auto& [bytes, limit] : cases)
        EXPECT_EQ(BaseCommandWorker::timeoutFor(bytes), limit) << bytes;
}

// What becomes of a tool's output is checked through the scheduler's chain;
// here a run that cannot start.
TEST(CommandWorkerRun, NoJobOrNoReadableInputFailsBeforeAnyTool)
{
    ToolSandbox sandbox;
    auto tool = std::make_shared<FakeWorkers::FakeTool>("writer", true, FakeWorkers::Plan(10));
    Failure failure = QCoro::waitFor(tool->run());
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->errorDescription(), "File access error: No job available");

    const QString original = copyInto("png/debian-debian.png", sandbox.filesDir());
    auto job = OptimizationJob::create(QUrl::fromLocalFile(original));
    tool->setJob(job);
    QFile::remove(original);
    failure = QCoro::waitFor(tool->run());
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->errorDescription(), "File access error: No input file available");
    EXPECT_TRUE(tool->inputs.isEmpty());
}

// What each tool's exit status means, with stand-ins that exit as told ("" : the tool is missing).
TEST(ToolStatuses, EachToolsStatusesMeanWhatTheySay)
{
    ToolSandbox sandbox;
    // outcome: the error, or a line logged when nothing was written.
    using Make = std::function<std::unique_ptr<BaseCommandWorker>()>;
    struct Case {
        const char* file;
        Make make;
        QByteArray script;
        bool written;
        QString outcome;
    };
    const auto pngquant = [] { return std::make_unique<PngquantWorker>(75, 3); };
    const auto oxipng = [] { return std::make_unique<OxiPngWorker>(2, false); };
    const auto gifsicle = [] { return std::make_unique<GifsicleWorker>(0, true); };
    const auto svgcleaner = [] { return std::make_unique<SvgcleanerWorker>(); };
    const Case cases[] = {
        {"png/pingus-flag3.png", pngquant, "exit 0", true, ""},
        {"png/pingus-flag3.png", pngquant, "exit 99", false, "pngquant skipped image due to low quality"},
        {"png/pingus-flag3.png", pngquant, "exit 98", false, "pngquant skipped image due to poor compression"},
        {"png/pingus-flag3.png", pngquant, "exit 2", false, "pngquant failed: Exit code: 2"},
        {"png/pingus-flag3.png", oxipng, "exit 0", true, ""},
        {"png/pingus-flag3.png", oxipng, "printf 'bad PNG' >&2; exit 1", false, "oxipng failed: bad PNG"},
        {"gif/wordpress-images-spinner.gif", gifsicle, "exit 1", false, "gifsicle failed: Exit code: 1"},
        {"gif/wordpress-images-spinner.gif", gifsicle, "", false, "gifsicle not found, skipping GIF optimization"},
        {"svg/twemoji-1f534.svg", svgcleaner, "exit 3", false, "svgcleaner failed: Exit code: 3"},
        {"svg/twemoji-1f534.svg", svgcleaner, "", false, "svgcleaner not found, skipping SVG optimization"},
    };
    for (const Case& c : cases) {
        auto worker = c.make();
        SCOPED_TRACE((worker->name() + ": " + c.script).toStdString());
        const QString tool = sandbox.bundledDir() + '/' + worker->name();
        QFile::remove(tool);
        if (!c.script.isEmpty())
            sandbox.writeScript(tool, c.script);
        sandbox.clear();
        const auto in = IOFile::read(QUrl::fromLocalFile(copyInto(c.file, sandbox.filesDir())));
        const auto answer = awaitOutcome(worker->optimizeFile(in, QUrl::fromLocalFile(sandbox.filesDir() + "/out")));
        EXPECT_EQ(answer.failed(), c.outcome.contains(" failed: "));
        if (answer.failed()) {
            EXPECT_EQ(answer.error().errorDescription(), c.outcome);
        } else {
            EXPECT_EQ(answer.value(), c.written);
            EXPECT_TRUE(c.outcome.isEmpty() || sandbox.logged(c.outcome)) << sandbox.lines().join('\n').toStdString();
        }
    }
}
