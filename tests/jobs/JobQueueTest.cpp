#include "TestSupport.h"
#include "jobs/Configuration.h"
#include "jobs/JobQueue.h"
#include "jobs/PipelineServices.h"
#include "jobs/UserPreferences.h"
#include "platform/LoopGapMeter.h"
#include "scheduler/WorkerScheduler.h"
#include "store/ResultsCache.h"
#include "store/StatisticsTracker.h"
#include "workers/ToolSandbox.h"
#include "workers/BaseWorker.h"
#include "workers/JobWorkingFiles.h"
#include "workers/TemporaryFiles.h"

#include <QCoroTimer>
#include <QElapsedTimer>
#include <QHash>

#include <stdexcept>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace TestSupport;
using namespace std::chrono_literals;

namespace {

// How the fake tools behaved across a run.
struct Observed {
    int active = 0;
    int maxActive = 0;
    QHash<QString, int> runsPerJob;
};

// A tool that takes a while and writes a copy one byte shorter, so every job
// has a winner; files whose name contains "fail" make it fail.
class SlowShrinkingWorker : public BaseWorker {
public:
    SlowShrinkingWorker(Observed& observed, std::chrono::milliseconds delay)
        : BaseWorker(QStringLiteral("shrinker")), observed_(observed), delay_(delay)
    {
    }

    QCoro::Task<Failure> run() override
    {
        auto job = this->job();
        const QString key = job->id().toString();
        observed_.runsPerJob[key] += 1;
        observed_.maxActive = std::max(observed_.maxActive, ++observed_.active);
        co_await QCoro::sleepFor(delay_);
        --observed_.active;
        if (job->fileName().contains(QLatin1String("fail")))
            co_return OptimizationError::toolExecution(name(), QStringLiteral("Exit code: 1"));
        const QByteArray bytes = readFile(job->fileURL().toLocalFile());
        const QUrl output = TemporaryFiles::makeURL(name(), QStringLiteral("temp"));
        writeFile(output.toLocalFile(), bytes.left(bytes.size() - 1));
        if (auto record = IOFile::read(output); !record || !JobWorkingFiles::recordResult(*job, *record, name()))
            QFile::remove(output.toLocalFile());
        co_return std::nullopt;
    }

private:
    Observed& observed_;
    std::chrono::milliseconds delay_;
};

class JobQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("TMPDIR", tmp.path().toUtf8());
        configuration.setOperationMode(Configuration::OperationMode::exportToFolder);
        configuration.setExportPath(QDir(work.path()).filePath("export"));
    }
    void TearDown() override { qunsetenv("TMPDIR"); }

    JobPipeline::Services services(std::chrono::milliseconds toolDelay = 30ms,
                                   std::chrono::milliseconds cacheDelay = 0ms)
    {
        JobPipeline::Services s;
        s.lookup = [this, cacheDelay](QUrl, qint64) -> QCoro::Task<std::optional<JobPipeline::CachedResult>> {
            ++lookups;
            co_await QCoro::sleepFor(cacheDelay);
            co_return cached;
        };
        s.store = [this](QUrl, qint64, qint64, qint64, QString) -> QCoro::Task<> {
            ++stores;
            co_return;
        };
        s.makeWorkers = [this, toolDelay](IOFileType, CompressionPreset, int, OptimizationJob::Ptr job) {
            if (job->fileName().contains(QLatin1String("throw")))
                throw std::runtime_error("stand-in fault");
            auto worker = std::make_shared<SlowShrinkingWorker>(observed, toolDelay);
            worker->setJob(job);
            return std::vector<OptimizationWorker::Ptr>{worker};
        };
        s.runCompetition = [this](std::vector<OptimizationWorker::Ptr> workers, OptimizationJob::Ptr job,
                                  IOFile::Ptr input, CancellationFlag cancel) {
            return scheduler.runCompetition(std::move(workers), std::move(job), std::move(input), cancel);
        };
        s.presetText = [] { return QStringLiteral("balanced"); };
        return s;
    }

    QUrl image(const QString& name)
    {
        return QUrl::fromLocalFile(copyInto(QStringLiteral("png/pingus-flag3.png"), work.path(), name));
    }

    QList<QUrl> images(int count, const QString& prefix = QStringLiteral("img"))
    {
        QList<QUrl> urls;
        for (int i = 0; i < count; ++i)
            urls << image(QStringLiteral("%1%2.png").arg(prefix).arg(i));
        return urls;
    }

    static int count(const JobQueue& queue, JobStatus status)
    {
        return int(std::count_if(queue.jobs().begin(), queue.jobs().end(),
                                 [status](const auto& job) { return job->status() == status; }));
    }

    bool noTemporaryFilesLeft() const { return QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden).isEmpty(); }
    bool noHiddenFilesIn(const QString& folder) const
    {
        return QDir(folder).entryList({".*"}, QDir::Files | QDir::Hidden).isEmpty();
    }

    QTemporaryDir work;
    QTemporaryDir tmp;
    Configuration configuration;
    WorkerScheduler scheduler;
    Observed observed;
    std::optional<JobPipeline::CachedResult> cached;
    int lookups = 0;
    int stores = 0;
};

} // namespace

TEST_F(JobQueueTest, RunsEveryJobOnceAndNeverMoreThanTheLimitAtATime)
{
    JobQueue queue(configuration, 3, services());
    queue.addFiles(images(10));
    QCoro::waitFor(queue.waitUntilIdle());

    EXPECT_EQ(count(queue, JobStatus::completed), 10);
    EXPECT_EQ(observed.maxActive, 3);
    EXPECT_EQ(observed.runsPerJob.size(), 10);
    for (int runs : observed.runsPerJob)
        EXPECT_EQ(runs, 1);
    EXPECT_FALSE(queue.isProcessing());
    EXPECT_EQ(QDir(configuration.exportPath()).entryList(QDir::Files).size(), 10);
    EXPECT_TRUE(noTemporaryFilesLeft());
}

TEST_F(JobQueueTest, FilesAddedDuringABatchAreRunWithoutAnotherDrop)
{
    JobQueue queue(configuration, 2, services(40ms));
    queue.addFiles(images(2, "first"));
    // One arrives mid-batch, one while the last job is finishing.
    processEventsUntil([&] { return count(queue, JobStatus::completed) >= 1; });
    QCoro::waitFor(queue.addFile(image("second.png")));
    processEventsUntil([&] { return count(queue, JobStatus::completed) >= 2; });
    QCoro::waitFor(queue.addFile(image("third.png")));
    ASSERT_TRUE(processEventsUntil([&] { return count(queue, JobStatus::completed) == 4 && !queue.isProcessing(); }));
    QCoro::waitFor(queue.waitUntilIdle());
    EXPECT_EQ(count(queue, JobStatus::pending), 0);
    for (int runs : observed.runsPerJob)
        EXPECT_EQ(runs, 1);
}

TEST_F(JobQueueTest, CancelThenAddRunsTheRestOnceAndTheOldBatchDoesNotEndTheNewOne)
{
    // A slow cache keeps started jobs pending for a while: they must not be started twice.
    JobQueue queue(configuration, 2, services(30ms, 60ms));
    configuration.setOperationMode(Configuration::OperationMode::optimizeOriginals);
    queue.addFiles(images(6));
    ASSERT_TRUE(processEventsUntil([&] { return queue.jobCount() == 6; }));
    queue.cancelProcessing();
    EXPECT_FALSE(queue.isProcessing());

    QCoro::waitFor(queue.addFile(image("late.png")));
    EXPECT_TRUE(queue.isProcessing());
    bool clearedEarly = false;
    QObject::connect(&queue, &JobQueue::batchFinished, &queue, [&] {
        if (!queue.isProcessing() && count(queue, JobStatus::pending) > 0)
            clearedEarly = true;
    });
    QCoro::waitFor(queue.waitUntilIdle());

    EXPECT_FALSE(clearedEarly);
    EXPECT_EQ(count(queue, JobStatus::completed), 7);
    EXPECT_EQ(observed.maxActive <= 2, true);
    for (int runs : observed.runsPerJob)
        EXPECT_EQ(runs, 1);
    EXPECT_TRUE(noTemporaryFilesLeft());
}

TEST_F(JobQueueTest, FailuresEndTheirOwnJobOnly)
{
    JobQueue queue(configuration, 2, services());
    const QString text = QDir(work.path()).filePath("notes.png");
    writeFile(text, "plain text, named like an image");
    const QString unknown = QDir(work.path()).filePath("data.bin");
    writeFile(unknown, "0123456789abcdef");
    // Opening a named pipe would wait for a writer for ever.
    const QString pipe = QDir(work.path()).filePath("pipe.png");
    ASSERT_EQ(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    queue.addFiles({image("a.png"), QUrl::fromLocalFile(QDir(work.path()).filePath("vanished.png")),
                    QUrl::fromLocalFile(unknown), image("fail-tool.png"), QUrl::fromLocalFile(text), image("b.png"),
                    QUrl::fromLocalFile(pipe),
                    QUrl::fromLocalFile(copyInto(QStringLiteral("odd/skimage-truncated.jpg"), work.path())),
                    image("throw.png"), image("c.png")});
    QCoro::waitFor(queue.waitUntilIdle());

    const auto& jobs = queue.jobs();
    ASSERT_EQ(jobs.size(), 10);
    EXPECT_EQ(jobs[0]->status(), JobStatus::completed);
    EXPECT_EQ(jobs[1]->status(), JobStatus::failed);
    EXPECT_TRUE(jobs[1]->error()->errorDescription().contains("vanished.png"));
    EXPECT_EQ(jobs[2]->error()->errorDescription(), "Unsupported file type: Unsupported file type");
    EXPECT_EQ(jobs[3]->status(), JobStatus::completed) << "a failing tool costs only its result";
    EXPECT_EQ(jobs[3]->bestTool(), "No optimization");
    EXPECT_EQ(jobs[4]->status(), JobStatus::failed) << "text named .png is taken, then fails as no image";
    EXPECT_TRUE(jobs[4]->error()->errorDescription().contains("damaged or incomplete"));
    EXPECT_EQ(jobs[5]->status(), JobStatus::completed);
    EXPECT_EQ(jobs[5]->bestTool(), "shrinker");
    EXPECT_EQ(jobs[6]->status(), JobStatus::failed);
    EXPECT_TRUE(jobs[6]->error()->errorDescription().contains("not a regular file"));
    EXPECT_EQ(jobs[7]->status(), JobStatus::failed) << "a truncated photo is reported, not passed as optimal";
    EXPECT_TRUE(jobs[7]->error()->errorDescription().contains("damaged or incomplete"));
    EXPECT_EQ(jobs[8]->status(), JobStatus::failed) << "a fault inside the pipeline ends its job";
    EXPECT_EQ(jobs[9]->status(), JobStatus::completed);
    EXPECT_EQ(queue.totalFilesProcessed(), 10);
    EXPECT_TRUE(noTemporaryFilesLeft());
}

TEST_F(JobQueueTest, SessionsAndAllTimeFiguresCountEachJobOnce)
{
    auto& tracker = StatisticsTracker::shared();
    const qint64 filesBefore = tracker.totalFilesProcessed();
    const qint64 savedBefore = tracker.totalBytesSaved();
    const int sessionsBefore = tracker.sessionCount();

    JobQueue queue(configuration, 2, services());
    queue.addFiles(images(2, "one"));
    QCoro::waitFor(queue.waitUntilIdle());
    queue.addFiles(images(1, "two"));
    QCoro::waitFor(queue.waitUntilIdle());

    EXPECT_EQ(tracker.sessionCount(), sessionsBefore + 2);
    const SessionRecord newest = tracker.sessions().first();
    EXPECT_EQ(newest.imageCount, 3) << "a session counts every job of the list";
    EXPECT_EQ(newest.optimizedCount, 3);
    EXPECT_EQ(newest.totalSavedBytes, 3);
    EXPECT_EQ(tracker.totalFilesProcessed(), filesBefore + 3);
    EXPECT_EQ(tracker.totalBytesSaved(), savedBefore + 3);
    EXPECT_EQ(queue.totalFilesOptimized(), 3);
    EXPECT_EQ(queue.totalBytesSaved(), 3);
    EXPECT_EQ(stores, 0) << "export mode stores only files with nothing to gain";
}

TEST_F(JobQueueTest, TheEventLoopKeepsTurningThroughRealBatchesAndAHugeDrop)
{
    ToolSandbox sandbox;
    sandbox.useRealTools();
    const QStringList photos{"png/debian-debian.png", "png/pidgin-pidgin-logo.png", "jpeg/skimage-rocket.jpg",
                             "odd/plasma-summer_1am-2560x1600-orientation6-added.jpg", "gif/wordpress-images-spinner.gif",
                             "heic/converted-skimage-chelsea.heic"};
    for (const auto mode : {Configuration::OperationMode::optimizeOriginals, Configuration::OperationMode::exportToFolder}) {
        configuration.setOperationMode(mode);
        const QString folder = QDir(work.path()).filePath(Configuration::toString(mode));
        QDir().mkpath(folder);
        for (const QString& photo : photos)
            copyInto(photo, folder);
        JobQueue queue(configuration, 2);
        queue.disableResultsCache();
        LoopGapMeter meter;
        const QList<QUrl> items{QUrl::fromLocalFile(folder)};
        QCoro::waitFor(queue.addItems(items));
        QCoro::waitFor(queue.waitUntilIdle());
        EXPECT_LT(meter.longestMilliseconds(), 500) << Configuration::toString(mode).toStdString();
        EXPECT_EQ(count(queue, JobStatus::completed), photos.size());
        EXPECT_TRUE(sandbox.leftovers().isEmpty());
    }
    EXPECT_EQ(QDir(configuration.exportPath()).entryList(QDir::Files).size(), photos.size());

    // A drop of a folder of 20,000 files: jobs join in groups while the loop turns.
    configuration.setOperationMode(Configuration::OperationMode::optimizeOriginals);
    cached = JobPipeline::CachedResult{400, "shrinker"};
    const QString many = QDir(work.path()).filePath("many");
    QDir().mkpath(many);
    const QByteArray png = readFile(dataFile("png/pingus-flag3.png"));
    for (int i = 0; i < 20000; ++i)
        writeFile(QStringLiteral("%1/%2.png").arg(many).arg(i, 5, 10, QLatin1Char('0')), png);
    JobQueue queue(configuration, 2, services());
    int firstJobAt = -1;
    QElapsedTimer clock;
    QObject::connect(&queue, &JobQueue::jobAdded, &queue, [&] { firstJobAt = firstJobAt < 0 ? int(clock.elapsed()) : firstJobAt; });
    LoopGapMeter meter;
    clock.start();
    const QList<QUrl> drop{QUrl::fromLocalFile(many)};
    QCoro::waitFor(queue.addItems(drop));
    const qint64 walked = clock.elapsed();
    QCoro::waitFor(queue.waitUntilIdle());
    EXPECT_LT(meter.longestMilliseconds(), 500);
    EXPECT_LT(firstJobAt, walked / 2) << "jobs appear as they are found";
    EXPECT_EQ(count(queue, JobStatus::completed), 20000);
    EXPECT_EQ(queue.jobs().last()->fileName(), "19999.png") << "in the walk's order";
}

TEST_F(JobQueueTest, QuittingMidBatchLeavesEveryFileWholeAndNoWorkingFile)
{
    // A slow stand-in for oxipng that hands over to the real one.
    ToolSandbox sandbox;
    sandbox.writeScript(sandbox.bundledDir() + "/oxipng",
                        "sleep 1\nexec '" PRESSLY_BINARY_DIR "/share/pressly-pro/BundledTools/bin/oxipng' \"$@\"");
    configuration.setOperationMode(Configuration::OperationMode::optimizeOriginals);
    const QByteArray original = readFile(dataFile("png/debian-debian.png"));
    for (const bool awaited : {true, false}) {
        const QString folder = QDir(work.path()).filePath(awaited ? "awaited" : "destroyed");
        QDir().mkpath(folder);
        QList<QUrl> files;
        for (int i = 0; i < 6; ++i)
            files << QUrl::fromLocalFile(copyInto("png/debian-debian.png", folder, QStringLiteral("%1.png").arg(i)));
        auto services = PipelineServices::make(scheduler);
        services.presetText = [] { return QStringLiteral("lossless"); };
        {
            JobQueue queue(configuration, 2, services);
            queue.disableResultsCache();
            queue.addFiles(files);
            ASSERT_TRUE(processEventsUntil([&] { return count(queue, JobStatus::processing) == 2; }));
            if (awaited)
                QCoro::waitFor(queue.shutdown());
        }
        int replaced = 0;
        for (const QUrl& file : files) {
            const QByteArray now = readFile(file.toLocalFile());
            replaced += now != original;
            EXPECT_TRUE(now == original || (now.size() < original.size() && now.startsWith("\x89PNG")));
        }
        EXPECT_LE(replaced, 2) << "no job starts after the quit";
        EXPECT_TRUE(noHiddenFilesIn(folder));
        EXPECT_TRUE(sandbox.leftovers().isEmpty()) << sandbox.leftovers().join(", ").toStdString();
    }
}

TEST_F(JobQueueTest, APresetChangedMidBatchLeavesEachJobConsistent)
{
    configuration.setOperationMode(Configuration::OperationMode::optimizeOriginals);
    auto& preferences = UserPreferences::shared();
    preferences.setCompressionPresetRaw("maximum");
    QHash<QString, qint64> storedHash;
    QHash<QString, QStringList> tools;
    auto s = PipelineServices::make(scheduler);
    // The user picks another preset while the first job waits for the cache.
    s.lookup = [&](QUrl, qint64) -> QCoro::Task<std::optional<JobPipeline::CachedResult>> {
        preferences.setCompressionPresetRaw("lossless");
        co_return std::nullopt;
    };
    s.store = [&](QUrl file, qint64 hash, qint64, qint64, QString) -> QCoro::Task<> {
        storedHash[file.fileName()] = hash;
        co_return;
    };
    s.runCompetition = [&](std::vector<OptimizationWorker::Ptr> workers, OptimizationJob::Ptr job, IOFile::Ptr,
                           CancellationFlag) -> QCoro::Task<std::optional<WorkerResult>> {
        for (const auto& worker : workers)
            tools[job->fileName()] << worker->name();
        co_return std::nullopt;
    };
    JobQueue queue(configuration, 1, s);
    queue.addFiles({image("first.png"), image("second.png")});
    QCoro::waitFor(queue.waitUntilIdle());
    preferences.setCompressionPresetRaw("balanced");

    EXPECT_EQ(tools["first.png"], QStringList({"pngquant", "oxipng"}));
    EXPECT_EQ(storedHash["first.png"], ResultsCache::settingsHash("maximum"));
    EXPECT_EQ(tools["second.png"], QStringList{"oxipng"});
    EXPECT_EQ(storedHash["second.png"], ResultsCache::settingsHash("lossless"));
}
