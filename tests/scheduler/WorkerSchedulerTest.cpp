#include "FakeWorkers.h"
#include "TestSupport.h"
#include "platform/Log.h"
#include "scheduler/WorkerScheduler.h"
#include "workers/TemporaryFiles.h"
#include "workers/WorkingFilesManager.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

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
    void reportProgress(OptimizationJob& job, double fraction, const QString& toolName) override
    {
        reports.push_back({fraction, toolName});
        WorkerScheduler::reportProgress(job, fraction, toolName);
    }
};

const QString uuidPattern = QStringLiteral("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");

class WorkerSchedulerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hadTmpDir_ = qEnvironmentVariableIsSet("TMPDIR");
        savedTmpDir_ = qgetenv("TMPDIR");
        qputenv("TMPDIR", temp_.path().toUtf8());
        // Our temporary files must land here, so the check at the end means something.
        ASSERT_EQ(QDir(QDir::tempPath()).canonicalPath(), QDir(temp_.path()).canonicalPath());
        Log::setSink([this](const QString& line) { logLines.append(line); });
    }

    void TearDown() override
    {
        // What the pipeline does when the job ends: the working files go.
        if (job)
            WorkingFilesManager::shared().releaseJob(JobWorkingFiles::key(*job));
        EXPECT_EQ(presslyFiles(), QStringList());
        Log::setSink({});
        if (hadTmpDir_)
            qputenv("TMPDIR", savedTmpDir_);
        else
            qunsetenv("TMPDIR");
    }

    // The user's file, and the job and input the pipeline would hand over.
    void makeJob(qint64 size, const QString& name = QStringLiteral("photo.png"))
    {
        const QString path = folder_.filePath(name);
        writeImage(path, size);
        job = OptimizationJob::create(QUrl::fromLocalFile(path));
        ASSERT_TRUE(job);
        input = IOFile::read(QUrl::fromLocalFile(path));
        ASSERT_TRUE(input);
    }

    std::shared_ptr<FakeTool> tool(const QString& name, bool lossy, Plan plan)
    {
        auto worker = std::make_shared<FakeTool>(name, lossy, std::move(plan));
        worker->setJob(job);
        workers.push_back(worker);
        return worker;
    }

    std::optional<WorkerResult> compete()
    {
        return QCoro::waitFor(scheduler.runCompetition(workers, job, input, cancel));
    }

    QStringList presslyFiles() const
    {
        const QStringList filters{QStringLiteral("Pressly.*")};
        return QDir(TemporaryFiles::directory()).entryList(filters, QDir::Files | QDir::Hidden, QDir::Name);
    }

    QString userFile() const { return job->fileURL().toLocalFile(); }
    QString inTemp(const QString& pattern) const
    {
        return QRegularExpression::escape(TemporaryFiles::directory() + QLatin1Char('/')) + pattern;
    }

    QTemporaryDir temp_;
    QTemporaryDir folder_;
    RecordingScheduler scheduler;
    CancellationFlag cancel;
    OptimizationJob::Ptr job;
    IOFile::Ptr input;
    std::vector<OptimizationWorker::Ptr> workers;
    QStringList logLines;

private:
    bool hadTmpDir_ = false;
    QByteArray savedTmpDir_;
};

std::vector<Report> comparing(int from, int count)
{
    std::vector<Report> reports;
    for (int n = from; n <= count; ++n)
        reports.push_back({double(n) / count, QStringLiteral("Comparing results")});
    return reports;
}

} // namespace

TEST_F(WorkerSchedulerTest, EmptyListAnswersNothingAndReportsNothing)
{
    makeJob(1000);
    EXPECT_FALSE(compete());
    EXPECT_TRUE(scheduler.reports.empty());
    TestSupport::drainEvents();
    EXPECT_EQ(job->status(), JobStatus::pending);
}

TEST_F(WorkerSchedulerTest, LossyChainRunsInOrderEachOnTheLatestWorkingFile)
{
    makeJob(1000);
    auto a = tool("a", true, Plan().writes(900));
    auto b = tool("b", true, Plan().writes(800));
    auto c = tool("c", true, Plan().writes(850));

    const auto result = compete();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->toolName, "b");
    EXPECT_EQ(result->fileSize, 800);
    EXPECT_EQ(QFileInfo(result->fileURL.toLocalFile()).size(), 800);

    ASSERT_EQ(a->inputs.size(), 1);
    ASSERT_EQ(b->inputs.size(), 1);
    ASSERT_EQ(c->inputs.size(), 1);
    EXPECT_EQ(a->inputs[0], userFile());
    EXPECT_EQ(b->inputs[0], a->outputs[0]);
    EXPECT_EQ(c->inputs[0], b->outputs[0]);
    EXPECT_EQ(result->fileURL.toLocalFile(), b->outputs[0]);

    const std::vector<Report> expected{{0.0, "a"}, {1.0 / 3, "a"}, {1.0 / 3, "b"},
                                       {2.0 / 3, "b"}, {2.0 / 3, "c"}, {1.0, "c"}};
    EXPECT_EQ(scheduler.reports, expected);
    EXPECT_EQ(TestSupport::readFile(userFile()).size(), 1000);
}

TEST_F(WorkerSchedulerTest, OnlyLosslessWorkersCompeteOnPrivateCopiesAndTheFirstFinisherWinsATie)
{
    makeJob(1000);
    auto slow = tool("slow", false, Plan().writes(700).after(150));
    auto fast = tool("fast", false, Plan().writes(700).after(20));
    auto big = tool("big tool (x)", false, Plan().writes(800));

    const auto result = compete();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->toolName, "fast");
    EXPECT_EQ(result->fileSize, 700);
    EXPECT_EQ(result->fileURL.toLocalFile(), fast->outputs[0]);
    EXPECT_EQ(scheduler.reports, comparing(1, 3));

    const QRegularExpression copyName(
        QRegularExpression::anchoredPattern(inTemp("Pressly\\.compete\\.big tool \\(x\\)\\." + uuidPattern + "\\.png")));
    const QRegularExpression outputName(
        QRegularExpression::anchoredPattern(inTemp("Pressly\\.output\\.big tool \\(x\\)\\." + uuidPattern + "\\.png")));
    EXPECT_TRUE(copyName.match(big->inputs[0]).hasMatch()) << big->inputs[0].toStdString();
    EXPECT_TRUE(outputName.match(big->outputs[0]).hasMatch()) << big->outputs[0].toStdString();

    // Only the winner is left; it is the job's working file now.
    EXPECT_EQ(presslyFiles(), QStringList{QFileInfo(fast->outputs[0]).fileName()});
    EXPECT_EQ(job->optimizedSize(), 700);
    EXPECT_EQ(job->bestTool(), "fast");
    EXPECT_EQ(WorkingFilesManager::shared().workingFile(JobWorkingFiles::key(*job)), result->fileURL);

    TestSupport::drainEvents();
    EXPECT_EQ(job->progress(), 1.0);
    EXPECT_EQ(job->currentTool(), "Comparing results");
}

TEST_F(WorkerSchedulerTest, LosslessResultsNoSmallerThanTheLossyBestAreDeleted)
{
    makeJob(1000);
    auto a = tool("a", true, Plan().writes(800));
    auto same = tool("same", false, Plan().writes(800));
    auto lossyResult = compete();
    ASSERT_TRUE(lossyResult);
    EXPECT_EQ(lossyResult->toolName, "a");
    EXPECT_EQ(lossyResult->fileSize, 800);
    EXPECT_EQ(presslyFiles(), QStringList{QFileInfo(a->outputs[0]).fileName()});
}

TEST_F(WorkerSchedulerTest, AWinnerBetweenTheLossyBestAndTheWorkingFileIsDeleted)
{
    // b's 950 becomes the working file (smaller than the original) without
    // beating a's 900: the lossless 920 beats what it started from, not the best.
    makeJob(1000);
    auto a = tool("a", true, Plan().writes(900));
    auto b = tool("b", true, Plan().writes(950));
    auto d = tool("d", false, Plan().writes(920));
    const auto result = compete();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->toolName, "a");
    EXPECT_EQ(result->fileSize, 900);
    EXPECT_TRUE(QFileInfo::exists(a->outputs[0]));
    EXPECT_FALSE(QFileInfo::exists(d->outputs[0]));
    EXPECT_EQ(job->optimizedSize(), 950); // as the worker base recorded it; the answer is what counts
}

TEST_F(WorkerSchedulerTest, ChainedNamesListOnlyTheLossyToolsThatImproved)
{
    {
        makeJob(1000);
        tool("a", true, Plan().writes(900));
        tool("b", true, Plan().writes(850));
        tool("c", false, Plan().writes(700).after(30));
        tool("d", false, Plan().writes(750));
        const auto result = compete();
        ASSERT_TRUE(result);
        EXPECT_EQ(result->toolName, "a+b+c");
        EXPECT_EQ(result->fileSize, 700);
        EXPECT_EQ(job->bestTool(), "a+b+c");
        const std::vector<Report> expected{{0.0, "a"}, {0.25, "a"}, {0.25, "b"}, {0.5, "b"},
                                           {0.75, "Comparing results"}, {1.0, "Comparing results"}};
        EXPECT_EQ(scheduler.reports, expected);
        WorkingFilesManager::shared().releaseJob(JobWorkingFiles::key(*job));
        EXPECT_EQ(presslyFiles(), QStringList());
    }
    workers.clear();
    makeJob(1000, QStringLiteral("second.png"));
    tool("a", true, Plan().writes(900));
    tool("b", true, Plan().writes(950));
    tool("c", false, Plan().writes(700));
    const auto result = compete();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->toolName, "a+c");
}

TEST_F(WorkerSchedulerTest, AFileWithoutExtensionCompetesAsTemp)
{
    makeJob(1000, QStringLiteral("picture"));
    auto w = tool("w", false, Plan().writes(600));
    const auto result = compete();
    ASSERT_TRUE(result);
    const QRegularExpression copyName(
        QRegularExpression::anchoredPattern(inTemp("Pressly\\.compete\\.w\\." + uuidPattern + "\\.temp")));
    EXPECT_TRUE(copyName.match(w->inputs[0]).hasMatch()) << w->inputs[0].toStdString();
    EXPECT_TRUE(result->fileURL.toLocalFile().endsWith(".temp"));
    EXPECT_TRUE(QFileInfo(result->fileURL.toLocalFile()).fileName().startsWith("Pressly.output.w."));
}

TEST_F(WorkerSchedulerTest, AFailingLossyWorkerIsLoggedAndTheChainGoesOn)
{
    makeJob(1000);
    const auto error = OptimizationError::toolExecution("a", "Exit code: 2");
    tool("a", true, Plan().writes(500).fails(error));
    auto b = tool("b", true, Plan().writes(900));
    const auto result = compete();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->toolName, "b");
    EXPECT_EQ(b->inputs[0], userFile());
    EXPECT_TRUE(logLines.contains("Phase 1 worker a failed: " + error.errorDescription()));
    const std::vector<Report> expected{{0.0, "a"}, {0.5, "a"}, {0.5, "b"}, {1.0, "b"}};
    EXPECT_EQ(scheduler.reports, expected);
}

TEST_F(WorkerSchedulerTest, UnusableLosslessOutputsLeaveNothingBehind)
{
    makeJob(1000);
    const auto error = OptimizationError::toolExecution("broken", "Exit code: 1");
    tool("broken", false, Plan().writes(500).after(10).fails(error));
    tool("declined", false, Plan().writes(500).answers(false));
    tool("empty", false, Plan().writes(0));
    tool("silent", false, Plan());
    tool("larger", false, Plan().writes(1000));
    tool("other kind", false, Plan().writes(500).startingWith("\xFF\xD8\xFF\xE0jpeg"));

    EXPECT_FALSE(compete());
    EXPECT_EQ(presslyFiles(), QStringList());
    EXPECT_EQ(logLines.filter("Phase 2 worker").size(), 1);
    EXPECT_TRUE(logLines.contains("Phase 2 worker broken failed: " + error.errorDescription()));
    EXPECT_EQ(scheduler.reports, comparing(1, 6));
    EXPECT_EQ(job->optimizedSize(), std::nullopt);
    EXPECT_EQ(TestSupport::readFile(userFile()).size(), 1000);
}

TEST_F(WorkerSchedulerTest, CancellingDuringTheLossyChainStopsAfterTheRunningWorker)
{
    makeJob(1000);
    tool("a", true, Plan().writes(900));
    auto b = tool("b", true, Plan().writes(800).after(10));
    auto c = tool("c", true, Plan().writes(700));
    auto d = tool("d", false, Plan().writes(600));
    b->whileRunning = [this] { cancel.cancel(); };

    const auto result = compete();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->toolName, "b");
    EXPECT_EQ(result->fileSize, 800);
    EXPECT_TRUE(c->inputs.isEmpty());
    EXPECT_TRUE(d->inputs.isEmpty());
    const std::vector<Report> expected{{0.0, "a"}, {0.25, "a"}, {0.25, "b"}, {0.5, "b"}};
    EXPECT_EQ(scheduler.reports, expected);
}

TEST_F(WorkerSchedulerTest, CancelledLosslessTasksAnswerNothingYetTheGroupFinishes)
{
    makeJob(1000);
    auto w = tool("w", false, Plan().writes(600));
    cancel.cancel();
    EXPECT_FALSE(compete());
    EXPECT_TRUE(w->inputs.isEmpty());
    EXPECT_EQ(scheduler.reports, comparing(1, 1));
}

TEST_F(WorkerSchedulerTest, AWinnerTheJobRejectsIsDeleted)
{
    // The file grew after the job was made: 1100 beats the input's 1200 but
    // not the job's original 1000, so the job refuses it.
    makeJob(1000);
    writeImage(userFile(), 1200);
    input = IOFile::read(job->fileURL());
    tool("w", false, Plan().writes(1100));
    EXPECT_FALSE(compete());
    EXPECT_EQ(presslyFiles(), QStringList());
    EXPECT_EQ(job->optimizedSize(), std::nullopt);
}

TEST_F(WorkerSchedulerTest, TheUsersOwnFileIsNeverAResult)
{
    // The file shrank after the input was read; a tool that wrote nothing
    // must not make the original itself look like an optimized result.
    makeJob(1000);
    writeImage(userFile(), 900);
    tool("a", true, Plan().answers(false));
    EXPECT_FALSE(compete());
    EXPECT_EQ(TestSupport::readFile(userFile()).size(), 900);
}

TEST_F(WorkerSchedulerTest, AWorkerThatIsNoCommandToolImprovesTheWorkingFileItself)
{
    makeJob(1000);
    tool("a", true, Plan().writes(900));
    auto encoder = std::make_shared<FakeEncoder>("encoder", 600);
    encoder->setJob(job);
    workers.push_back(encoder);
    const auto result = compete();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->toolName, "a+encoder");
    EXPECT_EQ(result->fileSize, 600);
    EXPECT_TRUE(QFileInfo(result->fileURL.toLocalFile()).fileName().startsWith("Pressly.encoder."));
    EXPECT_EQ(presslyFiles().filter("compete").size(), 0);
}
