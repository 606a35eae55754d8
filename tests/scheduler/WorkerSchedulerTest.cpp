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

// Each lossy tool's start and end in turn, then one step for each competitor that ends.
std::vector<Report> steps(const std::vector<Tool>& tools)
{
    std::vector<Report> reports;
    const double count = double(tools.size());
    for (const Tool& tool : tools)
        if (tool.kind == Kind::lossy)
            reports.insert(reports.end(), {{double(reports.size() / 2) / count, tool.name},
                                           {double(reports.size() / 2 + 1) / count, tool.name}});
    for (double n = double(reports.size() / 2) + 1; n <= count; ++n)
        reports.push_back({n / count, comparing});
    return reports;
}

const OptimizationError exitTwo = OptimizationError::toolExecution("a", "Exit code: 2");
const OptimizationError exitOne = OptimizationError::toolExecution("broken", "Exit code: 1");

} // namespace

// Lossy tools run in turn on the latest working file; lossless tools compete
// on private copies; only a winner smaller than everything before survives.
TEST_F(WorkerSchedulerTest, PicksTheSmallestResultAndReportsEachStep)
{
    using enum Kind;
    struct Case {
        const char* what;
        std::vector<Tool> tools;
        std::pair<QString, qint64> winner; // its tools and size; no tools: no result
        std::vector<std::pair<QString, bool>> vetting = {}; // the caller's answers, in the order it is asked
        std::optional<std::vector<Report>> reports = {}; // none: the steps of every tool
        QString cancelWhile = {}; // "*": before anything runs
        qint64 fileNow = 0; // the user's file changed to this size after the job was made
        bool inputReread = false;
    };
    const std::vector<Tool> vetted = {
        {"a", lossy, 900}, {"small", lossless, 600}, {"middle", lossless, 700}, {"same as a", lossless, 900}};
    const Plan jpeg = Plan(500).startingWith("\xFF\xD8\xFF\xE0jpeg");
    const Case cases[] = {
        {"no workers", {}, {"", 0}},
        {"lossy chain keeps the best", {{"a", lossy, 900}, {"b", lossy, 800}, {"c", lossy, 850}}, {"b", 800}},
        {"first finisher wins a tie",
         {{"slow", lossless, Plan(700).after(150)}, {"fast", lossless, Plan(700).after(20)}, {"big", lossless, 800}},
         {"fast", 700}},
        {"lossless no smaller than the lossy best", {{"a", lossy, 800}, {"same", lossless, 800}}, {"a", 800}},
        {"lossless tools start from the lossy best, not a worse step",
         {{"a", lossy, 900}, {"b", lossy, 950}, {"d", lossless, 920}},
         {"a", 900}},
        {"names list the lossy tools that improved",
         {{"a", lossy, 900}, {"b", lossy, 850}, {"c", lossless, Plan(700).after(30)}, {"d", lossless, 750}},
         {"a+b+c", 700}},
        {"a lossy tool that did not improve is left out",
         {{"a", lossy, 900}, {"b", lossy, 950}, {"c", lossless, 700}},
         {"a+c", 700}},
        {"a failing lossy tool is logged and the chain goes on",
         {{"a", lossy, Plan(500).fails(exitTwo)}, {"b", lossy, 900}},
         {"b", 900}},
        {"unusable lossy outputs are deleted",
         {{"empty", lossy, 0},
          {"same", lossy, 1000},
          {"other kind", lossy, jpeg},
          {"declined", lossy, Plan(500).answers(false)},
          {"silent", lossy, Plan()}},
         {"", 0}},
        {"unusable lossless outputs",
         {{"broken", lossless, Plan(500).after(10).fails(exitOne)},
          {"declined", lossless, Plan(500).answers(false)},
          {"empty", lossless, 0},
          {"silent", lossless, Plan()},
          {"larger", lossless, 1000},
          {"other kind", lossless, jpeg}},
         {"", 0}},
        {"cancelled during the chain: stops after the running tool",
         {{"a", lossy, 900}, {"b", lossy, Plan(800).after(10)}, {"c", lossy, 700}, {"d", lossless, 600}},
         {"b", 800},
         {},
         std::vector<Report>{{0.0, "a"}, {0.25, "a"}, {0.25, "b"}, {0.5, "b"}},
         "b"},
        {"cancelled lossless tasks answer nothing", {{"w", lossless, 600}}, {"", 0}, {}, {}, "*"},
        // 1100 beats the input's 1200 but not the job's original 1000.
        {"a winner the job rejects", {{"w", lossless, 1100}}, {"", 0}, {}, {}, "", 1200, true},
        // A tool that wrote nothing must not make the shrunken original look like a result.
        {"the user's own file is never a result", {{"a", lossy, Plan().answers(false)}}, {"", 0}, {}, {}, "", 900},
        {"a re-encoder improves the working file itself",
         {{"a", lossy, 900}, {"encoder", encoder, 600}},
         {"a+encoder", 600}},
        {"a result the caller refuses makes way for the next smallest",
         vetted,
         {"a+middle", 700},
         {{"a+small", false}, {"a+middle", true}}},
        {"all refused: the lossy best", vetted, {"a", 900}, {{"a+small", false}, {"a+middle", false}}},
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

        std::vector<std::pair<QString, bool>> asked;
        const auto vet = [&asked, &c](WorkerResult candidate) -> QCoro::Task<bool> {
            const bool answer = !std::count(c.vetting.begin(), c.vetting.end(), std::pair(candidate.toolName, false));
            asked.emplace_back(candidate.toolName, answer);
            co_return answer;
        };
        const auto result = QCoro::waitFor(scheduler.runCompetition(workers, job, input, cancel, vet));
        EXPECT_EQ(result ? result->toolName : QString(), c.winner.first);
        EXPECT_EQ(scheduler.reports, c.reports.value_or(steps(c.tools)));
        if (!c.vetting.empty()) {
            EXPECT_EQ(asked, c.vetting);
        }
        // A worse step in the chain must not become the job's size.
        if (result || !c.vetting.empty()) {
            EXPECT_EQ(job->optimizedSize(), c.winner.second);
        }
        if (result) {
            EXPECT_EQ(result->fileSize, c.winner.second);
            EXPECT_EQ(QFileInfo(result->fileURL.toLocalFile()).size(), c.winner.second);
        }
        for (const Tool& tool : c.tools) // a failing tool is logged once, with its phase
            if (tool.plan.failure) {
                EXPECT_EQ(sandbox.lines().filter("worker").size(), 1);
                EXPECT_TRUE(sandbox.lines().contains(
                    QStringLiteral("Phase %1 worker %2 failed: ").arg(tool.kind == Kind::lossy ? 1 : 2).arg(tool.name)
                    + tool.plan.failure->errorDescription()))
                    << sandbox.lines().join('\n').toStdString();
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
    auto a = tool("a", true, 900);
    auto b = tool("b", true, 800);
    auto c = tool("c", true, 850);
    auto big = tool("big tool (x)", false, 600);

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
