// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "scheduler/WorkerScheduler.h"
#include "FakeWorkers.h"
#include "jobs/OptimizationJob.h"
#include "workers/ToolSandbox.h"
#include "workers/WorkingFilesManager.h"

#include <QFileInfo>

using namespace FakeWorkers;

namespace {

struct Report {
    double fraction;
    QString tool;
    bool operator==(const Report&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Report& report)
{
    return out << report.fraction << " " << report.tool.toStdString();
}

class RecordingScheduler : public WorkerScheduler {
public:
    std::vector<Report> reports;

protected:
    void reportProgress(JobContext& job, double fraction, const QString& toolName) override
    {
        reports.push_back({fraction, toolName});
        WorkerScheduler::reportProgress(job, fraction, toolName);
    }
};

const QString comparing = QStringLiteral("Comparing results");

enum class Kind { lossy, lossless, encoder };
struct Tool {
    QString name;
    Kind kind;
    Plan plan;
};

class WorkerSchedulerTest : public ::testing::Test {
protected:
    void TearDown() override { release(); }

    // What the pipeline does when the job ends: the working files go.
    void release()
    {
        if (job)
            WorkingFilesManager::shared().releaseJob(JobWorkingFiles::key(*job));
        EXPECT_EQ(sandbox.leftovers(), QStringList());
        workers.clear();
        scheduler.reports.clear();
        sandbox.clear();
        cancel = CancellationFlag();
    }

    // The user's file, and the job and input the pipeline would hand over.
    void makeJob(qint64 size, const QString& name = QStringLiteral("photo.png"))
    {
        const QString path = sandbox.filesDir() + QLatin1Char('/') + name;
        writeImage(path, size);
        job = OptimizationJob::create(QUrl::fromLocalFile(path));
        ASSERT_TRUE(job);
        input = IOFile::read(QUrl::fromLocalFile(path));
    }

    OptimizationWorker::Ptr add(const Tool& entry)
    {
        OptimizationWorker::Ptr worker;
        if (entry.kind == Kind::encoder)
            worker = std::make_shared<FakeEncoder>(
                entry.name, [size = entry.plan.outputSize](JobContext&) { return imageBytes(size); });
        else
            worker = std::make_shared<FakeTool>(entry.name, entry.kind == Kind::lossy, entry.plan);
        worker->setJob(job);
        workers.push_back(worker);
        return worker;
    }
    std::shared_ptr<FakeTool> tool(const QString& name, bool lossy, Plan plan)
    {
        return std::dynamic_pointer_cast<FakeTool>(add({name, lossy ? Kind::lossy : Kind::lossless, plan}));
    }

    std::optional<WorkerResult> compete()
    {
        return QCoro::waitFor(scheduler.runCompetition(workers, job, input, cancel));
    }

    QString userFile() const { return job->fileURL().toLocalFile(); }

    ToolSandbox sandbox; // first made, last gone: the temporary directory and the user's files
    RecordingScheduler scheduler;
    CancellationFlag cancel;
    OptimizationJob::Ptr job;
    IOFile::Ptr input;
    std::vector<OptimizationWorker::Ptr> workers;
};

std::vector<Report> comparingSteps(int count)
{
    std::vector<Report> reports;
    for (int n = 1; n <= count; ++n)
        reports.push_back({double(n) / count, comparing});
    return reports;
}

// The reports of a lossy chain of these tools alone.
std::vector<Report> chainSteps(const QStringList& tools)
{
    std::vector<Report> reports;
    for (int n = 0; n < tools.size(); ++n)
        reports.insert(reports.end(), {{double(n) / tools.size(), tools[n]}, {double(n + 1) / tools.size(), tools[n]}});
    return reports;
}

const OptimizationError exitTwo = OptimizationError::toolExecution("a", "Exit code: 2");
const OptimizationError exitOne = OptimizationError::toolExecution("broken", "Exit code: 1");

} // namespace

// Lossy tools run in turn on the latest working file; lossless tools compete
// on private copies; only a winner smaller than everything before survives.
TEST_F(WorkerSchedulerTest, PicksTheSmallestResultAndReportsEachStep)
{
    struct Case {
        const char* what;
        std::vector<Tool> tools;
        QString winner; // empty: no result
        qint64 size;
        std::vector<Report> reports;
        QString cancelWhile = {}; // "*": before anything runs
        qint64 fileNow = 0; // the user's file changed to this size after the job was made
        bool inputReread = false;
        QString logged = {};
        QStringList refused = {}; // by the caller's vetting, which is asked in this order
        QStringList asked = {};
    };
    const std::vector<Tool> vetted = {{"a", Kind::lossy, Plan().writes(900)},
                                      {"small", Kind::lossless, Plan().writes(600)},
                                      {"middle", Kind::lossless, Plan().writes(700)},
                                      {"same as a", Kind::lossless, Plan().writes(900)}};
    const std::vector<Report> vettedSteps = {
        {0.0, "a"}, {0.25, "a"}, {0.5, comparing}, {0.75, comparing}, {1.0, comparing}};
    const Case cases[] = {
        {"no workers", {}, "", 0, {}},
        {"lossy chain keeps the best",
         {{"a", Kind::lossy, Plan().writes(900)},
          {"b", Kind::lossy, Plan().writes(800)},
          {"c", Kind::lossy, Plan().writes(850)}},
         "b",
         800,
         {{0.0, "a"}, {1.0 / 3, "a"}, {1.0 / 3, "b"}, {2.0 / 3, "b"}, {2.0 / 3, "c"}, {1.0, "c"}}},
        {"first finisher wins a tie",
         {{"slow", Kind::lossless, Plan().writes(700).after(150)},
          {"fast", Kind::lossless, Plan().writes(700).after(20)},
          {"big", Kind::lossless, Plan().writes(800)}},
         "fast",
         700,
         comparingSteps(3)},
        {"lossless no smaller than the lossy best",
         {{"a", Kind::lossy, Plan().writes(800)}, {"same", Kind::lossless, Plan().writes(800)}},
         "a",
         800,
         {{0.0, "a"}, {0.5, "a"}, {1.0, comparing}}},
        {"lossless tools start from the lossy best, not a worse step",
         {{"a", Kind::lossy, Plan().writes(900)},
          {"b", Kind::lossy, Plan().writes(950)},
          {"d", Kind::lossless, Plan().writes(920)}},
         "a",
         900,
         {{0.0, "a"}, {1.0 / 3, "a"}, {1.0 / 3, "b"}, {2.0 / 3, "b"}, {1.0, comparing}}},
        {"names list the lossy tools that improved",
         {{"a", Kind::lossy, Plan().writes(900)},
          {"b", Kind::lossy, Plan().writes(850)},
          {"c", Kind::lossless, Plan().writes(700).after(30)},
          {"d", Kind::lossless, Plan().writes(750)}},
         "a+b+c",
         700,
         {{0.0, "a"}, {0.25, "a"}, {0.25, "b"}, {0.5, "b"}, {0.75, comparing}, {1.0, comparing}}},
        {"a lossy tool that did not improve is left out",
         {{"a", Kind::lossy, Plan().writes(900)},
          {"b", Kind::lossy, Plan().writes(950)},
          {"c", Kind::lossless, Plan().writes(700)}},
         "a+c",
         700,
         {{0.0, "a"}, {1.0 / 3, "a"}, {1.0 / 3, "b"}, {2.0 / 3, "b"}, {1.0, comparing}}},
        {"a failing lossy tool is logged and the chain goes on",
         {{"a", Kind::lossy, Plan().writes(500).fails(exitTwo)}, {"b", Kind::lossy, Plan().writes(900)}},
         "b",
         900,
         {{0.0, "a"}, {0.5, "a"}, {0.5, "b"}, {1.0, "b"}},
         "",
         0,
         false,
         "Phase 1 worker a failed: " + exitTwo.errorDescription()},
        {"unusable lossy outputs are deleted",
         {{"empty", Kind::lossy, Plan().writes(0)},
          {"same", Kind::lossy, Plan().writes(1000)},
          {"other kind", Kind::lossy, Plan().writes(500).startingWith("\xFF\xD8\xFF\xE0jpeg")},
          {"declined", Kind::lossy, Plan().writes(500).answers(false)},
          {"silent", Kind::lossy, Plan()}},
         "",
         0,
         chainSteps({"empty", "same", "other kind", "declined", "silent"})},
        {"unusable lossless outputs",
         {{"broken", Kind::lossless, Plan().writes(500).after(10).fails(exitOne)},
          {"declined", Kind::lossless, Plan().writes(500).answers(false)},
          {"empty", Kind::lossless, Plan().writes(0)},
          {"silent", Kind::lossless, Plan()},
          {"larger", Kind::lossless, Plan().writes(1000)},
          {"other kind", Kind::lossless, Plan().writes(500).startingWith("\xFF\xD8\xFF\xE0jpeg")}},
         "",
         0,
         comparingSteps(6),
         "",
         0,
         false,
         "Phase 2 worker broken failed: " + exitOne.errorDescription()},
        {"cancelled during the chain: stops after the running tool",
         {{"a", Kind::lossy, Plan().writes(900)},
          {"b", Kind::lossy, Plan().writes(800).after(10)},
          {"c", Kind::lossy, Plan().writes(700)},
          {"d", Kind::lossless, Plan().writes(600)}},
         "b",
         800,
         {{0.0, "a"}, {0.25, "a"}, {0.25, "b"}, {0.5, "b"}},
         "b"},
        {"cancelled lossless tasks answer nothing",
         {{"w", Kind::lossless, Plan().writes(600)}},
         "",
         0,
         comparingSteps(1),
         "*"},
        // 1100 beats the input's 1200 but not the job's original 1000.
        {"a winner the job rejects",
         {{"w", Kind::lossless, Plan().writes(1100)}},
         "",
         0,
         comparingSteps(1),
         "",
         1200,
         true},
        // A tool that wrote nothing must not make the shrunken original look like a result.
        {"the user's own file is never a result",
         {{"a", Kind::lossy, Plan().answers(false)}},
         "",
         0,
         {{0.0, "a"}, {1.0, "a"}},
         "",
         900},
        {"a re-encoder improves the working file itself",
         {{"a", Kind::lossy, Plan().writes(900)}, {"encoder", Kind::encoder, Plan().writes(600)}},
         "a+encoder",
         600,
         {{0.0, "a"}, {0.5, "a"}, {1.0, comparing}}},
        {"a result the caller refuses makes way for the next smallest",
         vetted,
         "a+middle",
         700,
         vettedSteps,
         "",
         0,
         false,
         "",
         {"a+small"},
         {"a+small", "a+middle"}},
        {"all refused: the lossy best",
         vetted,
         "a",
         900,
         vettedSteps,
         "",
         0,
         false,
         "",
         {"a+small", "a+middle"},
         {"a+small", "a+middle"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        makeJob(1000);
        if (c.fileNow)
            writeImage(userFile(), c.fileNow);
        if (c.inputReread)
            input = IOFile::read(job->fileURL());
        for (const Tool& entry : c.tools) {
            auto worker = add(entry);
            if (auto fake = std::dynamic_pointer_cast<FakeTool>(worker); fake && entry.name == c.cancelWhile)
                fake->whileRunning = [this] { cancel.cancel(); };
        }
        if (c.cancelWhile == "*")
            cancel.cancel();

        QStringList asked;
        const auto vet = [&asked, &c](WorkerResult candidate) -> QCoro::Task<bool> {
            asked << candidate.toolName;
            co_return !c.refused.contains(candidate.toolName);
        };
        const auto result = QCoro::waitFor(scheduler.runCompetition(workers, job, input, cancel, vet));
        EXPECT_EQ(result ? result->toolName : QString(), c.winner);
        EXPECT_EQ(scheduler.reports, c.reports);
        if (!c.refused.isEmpty()) {
            EXPECT_EQ(asked, c.asked);
        }
        // A worse step in the chain must not become the job's size.
        if (result || !c.refused.isEmpty()) {
            EXPECT_EQ(job->optimizedSize(), c.size);
        }
        if (result) {
            EXPECT_EQ(result->fileSize, c.size);
            EXPECT_EQ(QFileInfo(result->fileURL.toLocalFile()).size(), c.size);
        }
        if (!c.logged.isEmpty()) {
            EXPECT_EQ(sandbox.lines().filter("worker").size(), 1);
            EXPECT_TRUE(sandbox.lines().contains(c.logged)) << sandbox.lines().join('\n').toStdString();
        }
        QCoro::waitFor(TemporaryFiles::removalsDone()); // losers are removed off the event loop
        for (const auto& worker : workers) {
            const auto fake = std::dynamic_pointer_cast<FakeTool>(worker);
            if (!fake || fake->isLossy())
                continue;
            // Lossless losers and their private copies are gone; cancelled ones never started.
            for (const QString& out : fake->outputs)
                EXPECT_EQ(QFileInfo::exists(out), result && out == result->fileURL.toLocalFile()) << out.toStdString();
            if (!c.cancelWhile.isEmpty()) {
                EXPECT_TRUE(fake->inputs.isEmpty());
            }
        }
        EXPECT_EQ(sandbox.leftovers().filter("compete"), QStringList());
        EXPECT_EQ(TestSupport::readFile(userFile()).size(), c.fileNow ? c.fileNow : 1000);
        if (!result && c.fileNow) {
            EXPECT_EQ(job->optimizedSize(), std::nullopt);
        }
        release();
    }
}

TEST_F(WorkerSchedulerTest, EachStepWorksOnTheLatestFileAndTheWinnerBecomesTheJobsResult)
{
    makeJob(1000, QStringLiteral("picture")); // no extension
    auto a = tool("a", true, Plan().writes(900));
    auto b = tool("b", true, Plan().writes(800));
    auto c = tool("c", true, Plan().writes(850));
    auto big = tool("big tool (x)", false, Plan().writes(600));

    const auto result = compete();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->toolName, "a+b+big tool (x)");
    EXPECT_EQ(a->inputs, QStringList{userFile()});
    EXPECT_EQ(b->inputs, QStringList{a->outputs[0]});
    EXPECT_EQ(c->inputs, QStringList{b->outputs[0]});
    EXPECT_EQ(QFileInfo(big->inputs[0]).path(), TemporaryFiles::directory()) << "a private copy";
    EXPECT_EQ(result->fileURL.toLocalFile(), big->outputs[0]);
    EXPECT_EQ(job->optimizedSize(), 600);
    EXPECT_EQ(job->bestTool(), "a+b+big tool (x)");
    EXPECT_EQ(WorkingFilesManager::shared().workingFile(JobWorkingFiles::key(*job)), result->fileURL);
    TestSupport::drainEvents();
    EXPECT_EQ(job->progress(), 1.0);
    EXPECT_EQ(job->currentTool(), comparing);
}
