#include "ToolSandbox.h"
#include "jobs/OptimizationJob.h"
#include "scheduler/FakeWorkers.h"
#include "workers/GifsicleWorker.h"
#include "workers/OxiPngWorker.h"
#include "workers/PngquantWorker.h"
#include "workers/SvgcleanerWorker.h"

#include <gtest/gtest.h>

using namespace TestSupport;

// What becomes of a tool's output is checked through the scheduler's chain;
// here a run that cannot start.
TEST(CommandWorkerRun, NoJobOrNoReadableInputFailsBeforeAnyTool)
{
    ToolSandbox sandbox;
    auto tool = std::make_shared<FakeWorkers::FakeTool>("writer", true, FakeWorkers::Plan().writes(10));
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
    struct Case { const char* file; Make make; QByteArray script; bool written; QString outcome; };
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
