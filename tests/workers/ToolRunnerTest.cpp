#include "ToolSandbox.h"
#include "workers/BaseCommandWorker.h"
#include "workers/RunningTools.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/resource.h>

using namespace TestSupport;

namespace {

class StandInWorker : public BaseCommandWorker {
public:
    StandInWorker() : BaseCommandWorker(QStringLiteral("stand-in (tool)")) {}

    Outcome<ProcessResult> execute(const QString& executable, const QStringList& arguments,
                                   IOFile::Ptr input = nullptr, std::optional<QUrl> output = std::nullopt)
    {
        return awaitOutcome(executeProcess(executable, arguments, std::move(input), std::move(output)));
    }

    QCoro::Task<Outcome<bool>> optimizeFile(IOFile::Ptr, QUrl) override { co_return Outcome<bool>::success(false); }
};

class ToolRunner : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(sandbox.leftovers().isEmpty()) << sandbox.leftovers().join(", ").toStdString(); }

    ToolSandbox sandbox;
    StandInWorker worker;
};

} // namespace

TEST_F(ToolRunner, ReportsExitStatusAndBothStreams)
{
    const QString tool = sandbox.writeScript(sandbox.systemDir() + "/tool", "echo out; echo err >&2; exit 3");
    const auto result = worker.execute(tool, {"a", "b"});
    ASSERT_FALSE(result.failed());
    EXPECT_EQ(result.value().exitCode, 3);
    EXPECT_EQ(result.value().output, "out\n");
    EXPECT_EQ(result.value().error, "err\n");
    EXPECT_TRUE(sandbox.lines().contains("🔧 Executing: " + tool + " a b"));
    EXPECT_NE(worker.process(), nullptr);
}

TEST_F(ToolRunner, InvalidUtf8GivesEmptyTextNotAFailure)
{
    const QString tool = sandbox.writeScript(sandbox.systemDir() + "/tool", "printf 'ok'; printf '\\377\\376x' >&2");
    const auto result = worker.execute(tool, {});
    ASSERT_FALSE(result.failed());
    EXPECT_EQ(result.value().exitCode, 0);
    EXPECT_EQ(result.value().output, "ok");
    EXPECT_EQ(result.value().error, "");
}

TEST_F(ToolRunner, AProgramThatCannotStartIsAToolError)
{
    auto missing = worker.execute(sandbox.systemDir() + "/nothing-here", {});
    ASSERT_TRUE(missing.failed());
    EXPECT_EQ(missing.error().kind(), OptimizationError::Kind::toolExecutionError);
    EXPECT_EQ(missing.error().toolName(), "stand-in (tool)");
    EXPECT_FALSE(missing.error().message().isEmpty());

    const QString notExecutable = sandbox.systemDir() + "/plain";
    writeFile(notExecutable, "#!/bin/sh\nexit 0\n");
    EXPECT_TRUE(worker.execute(notExecutable, {}).failed());
}

TEST_F(ToolRunner, ArgumentsReachTheToolUnchangedOneEach)
{
    const QString tool = sandbox.writeScript(sandbox.systemDir() + "/tool", R"(for a in "$@"; do echo "[$a]"; done)");
    const QStringList arguments{"a path/with spaces (1).png", "", "--x=$HOME", "*", "ü 🎨"};
    const auto result = worker.execute(tool, arguments);
    ASSERT_FALSE(result.failed());
    EXPECT_EQ(result.value().output, "[a path/with spaces (1).png]\n[]\n[--x=$HOME]\n[*]\n[ü 🎨]\n");
}

TEST_F(ToolRunner, StandardInputAndOutputAreFiles)
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

    const auto gone = std::make_shared<IOFile>(QUrl::fromLocalFile(sandbox.filesDir() + "/gone.png"), IOFileType::png, 10);
    auto unreadable = worker.execute(tool, {}, gone, QUrl::fromLocalFile(outputPath));
    ASSERT_TRUE(unreadable.failed());
    EXPECT_EQ(unreadable.error().errorDescription(), "stand-in (tool) failed: Could not read input file");

    auto uncreatable = worker.execute(tool, {}, input, QUrl::fromLocalFile(sandbox.filesDir() + "/no/such/dir/out.png"));
    ASSERT_TRUE(uncreatable.failed());
    EXPECT_EQ(uncreatable.error().errorDescription(), "stand-in (tool) failed: Could not create output file");
}

TEST_F(ToolRunner, ChildrenRunAtNiceTenWithTheAddedEnvironment)
{
    const QString tool = sandbox.writeScript(sandbox.systemDir() + "/tool",
                                             "cut -d' ' -f19 /proc/self/stat; echo \"$NSUnbufferedIO\"");
    const auto result = worker.execute(tool, {});
    ASSERT_FALSE(result.failed());
    // Never a higher priority than ours, should the tests themselves run niced.
    const int expected = std::max(10, getpriority(PRIO_PROCESS, 0));
    EXPECT_EQ(result.value().output, QStringLiteral("%1\nYES\n").arg(expected));
}

TEST_F(ToolRunner, AChildWritingMegabytesToBothPipesFinishes)
{
    // Far more than a pipe holds (64 KiB): the child blocks unless we keep reading.
    const QString tool = sandbox.writeScript(sandbox.systemDir() + "/tool",
                                             "head -c 6000000 /dev/zero | tr '\\0' e >&2\n"
                                             "head -c 3000000 /dev/zero | tr '\\0' o\n"
                                             "exit 4");
    const auto result = worker.execute(tool, {});
    ASSERT_FALSE(result.failed());
    EXPECT_EQ(result.value().exitCode, 4);
    EXPECT_EQ(result.value().error.size(), 6000000);
    EXPECT_EQ(result.value().output.size(), 3000000);
}

TEST_F(ToolRunner, AKilledChildIsNeverReportedAsSuccess)
{
    const QString tool = sandbox.writeScript(sandbox.systemDir() + "/tool", "kill -KILL $$");
    const auto result = worker.execute(tool, {});
    ASSERT_FALSE(result.failed());
    EXPECT_EQ(result.value().exitCode, 128 + 9);
}

TEST_F(ToolRunner, WorkingDirectoryDependsOnWhereTheToolWasFound)
{
    const QByteArray body = "pwd";
    const QString system = sandbox.writeScript(sandbox.systemDir() + "/tool", body);
    auto result = worker.execute(system, {});
    EXPECT_EQ(result.value().output.trimmed(), QCoreApplication::applicationDirPath());
    EXPECT_TRUE(sandbox.lines().contains("📁 Setting working directory to: " + QCoreApplication::applicationDirPath()));

    const QString bundled = sandbox.writeScript(sandbox.bundledDir() + "/tool", body);
    result = worker.execute(bundled, {});
    EXPECT_EQ(result.value().output.trimmed(), sandbox.bundledDir());
    EXPECT_TRUE(sandbox.lines().contains("📁 Setting working directory to BundledTools/bin/: " + sandbox.bundledDir()));

    QDir().mkpath(sandbox.resourcesDir() + "/bin");
    const QString inBin = sandbox.writeScript(sandbox.resourcesDir() + "/bin/tool", body);
    result = worker.execute(inBin, {});
    EXPECT_EQ(result.value().output.trimmed(), sandbox.resourcesDir() + "/bin");

    const QString top = sandbox.writeScript(sandbox.resourcesDir() + "/tool", body);
    result = worker.execute(top, {});
    EXPECT_EQ(result.value().output.trimmed(), sandbox.resourcesDir());
}

TEST_F(ToolRunner, LookupPrefersTheResourcesAndLogsOneLine)
{
    const QString inSystem = sandbox.writeScript(sandbox.systemDir() + "/tool", "");
    EXPECT_EQ(ToolLocator::findTool("tool"), inSystem);
    EXPECT_EQ(sandbox.lines(), QStringList{"✅ Found tool in system: " + inSystem});

    QDir().mkpath(sandbox.resourcesDir() + "/bin");
    const QString top = sandbox.writeScript(sandbox.resourcesDir() + "/tool", "");
    const QString inBin = sandbox.writeScript(sandbox.resourcesDir() + "/bin/tool", "");
    sandbox.clearLines();
    EXPECT_EQ(ToolLocator::findTool("tool"), inBin);
    EXPECT_EQ(sandbox.lines(), QStringList{"✅ Found tool in app bundle bin/: " + inBin});

    const QString bundled = sandbox.bundledDir() + "/tool";
    writeFile(bundled, ""); // existence is enough: no permission test
    sandbox.clearLines();
    EXPECT_EQ(ToolLocator::findTool("tool"), bundled);
    EXPECT_EQ(sandbox.lines(), QStringList{"✅ Found tool in app bundle BundledTools/bin/: " + bundled});

    QFile::remove(bundled);
    QFile::remove(inBin);
    sandbox.clearLines();
    EXPECT_EQ(ToolLocator::findTool("tool"), top);
    EXPECT_EQ(sandbox.lines(), QStringList{"✅ Found tool in app bundle: " + top});

    sandbox.clearLines();
    EXPECT_EQ(ToolLocator::findTool("absent"), std::nullopt);
    EXPECT_EQ(sandbox.lines(), QStringList{"❌ absent not found in bundle or system"});

    sandbox.clearLines();
    EXPECT_EQ(ToolLocator::findSystemTool("tool"), inSystem);
    EXPECT_EQ(ToolLocator::findSystemTool("absent"), std::nullopt);
    EXPECT_TRUE(sandbox.lines().isEmpty());
}

TEST(ToolLocatorDefaults, SearchesTheSystemDirectoriesInOrder)
{
    const QStringList expected{"/opt/homebrew/bin", "/usr/local/bin", "/usr/bin"};
    EXPECT_EQ(ToolLocator::systemDirs(), expected);
    EXPECT_EQ(ToolLocator::findSystemTool("sh"), std::optional<QString>("/usr/bin/sh"));
    EXPECT_EQ(ToolLocator::resourcesDir(), QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/pressly-pro"));
}

namespace {

// A zombie waiting for init to reap it counts as gone.
bool isAlive(const QString& pidFile)
{
    const QByteArray pid = readFile(pidFile).trimmed();
    const QByteArray stat = readFile("/proc/" + QString::fromLatin1(pid) + "/stat");
    return !pid.isEmpty() && !stat.isEmpty() && stat.mid(stat.lastIndexOf(')') + 2, 1) != "Z";
}

} // namespace

TEST_F(ToolRunner, AToolThatReadsStandardInputMeetsItsEnd)
{
    // With a pipe left open, `cat` would wait until `timeout` ends it.
    const QString tool = sandbox.writeScript(sandbox.systemDir() + "/tool", "timeout 5 cat && echo end");
    QElapsedTimer clock;
    clock.start();
    const auto result = worker.execute(tool, {});
    ASSERT_FALSE(result.failed());
    EXPECT_EQ(result.value().output, "end\n");
    EXPECT_LT(clock.elapsed(), 4000);
}

// A tool that overruns its time, or runs when the batch is cancelled, is ended
// with whatever it started, and its attempt fails with the reason.
TEST_F(ToolRunner, AToolIsStoppedByItsTimeOutOrACancel)
{
    const QString pidFile = sandbox.filesDir() + "/child.pid";
    const struct {
        const char* name;
        QByteArray body;
        bool cancel;
        QString reason;
    } cases[] = {
        {"time-out", "sleep 30 & echo $! > \"$1\"; wait", false, "Stopped after running for 0.3 s"},
        {"time-out, TERM ignored", "trap '' TERM; sleep 30 & echo $! > \"$1\"; wait", false, "Stopped after"},
        {"cancel", "sleep 30 & echo $! > \"$1\"; wait", true, "Stopped because"},
    };
    qputenv("PRESSLY_TOOL_TIMEOUT", "0.3");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(pidFile);
        const QString tool = sandbox.writeScript(sandbox.systemDir() + "/tool", c.body);
        if (c.cancel) {
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
        EXPECT_TRUE(processEventsUntil([&] { return !isAlive(pidFile); }, 2000)) << "the tool's own child is gone";
        EXPECT_EQ(RunningTools::shared().count(), 0);
    }
    qunsetenv("PRESSLY_TOOL_TIMEOUT");
}

TEST(ToolTimeOut, GrowsWithTheFileUnlessSetInTheEnvironment)
{
    using std::chrono::seconds;
    const std::pair<qint64, seconds> cases[] = {{0, seconds(60)}, {999'999, seconds(60)}, {25'500'000, seconds(310)}};
    for (const auto& [bytes, limit] : cases)
        EXPECT_EQ(BaseCommandWorker::timeoutFor(bytes), limit) << bytes;
    qputenv("PRESSLY_TOOL_TIMEOUT", "2");
    EXPECT_EQ(BaseCommandWorker::timeoutFor(25'500'000), seconds(2));
    qunsetenv("PRESSLY_TOOL_TIMEOUT");
}
