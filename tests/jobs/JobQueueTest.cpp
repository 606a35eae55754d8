// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "JobQueueFixture.h"
#include "jobs/PipelineServices.h"
#include "platform/LoopGapMeter.h"
#include "store/ResultsCache.h"
#include "store/StatisticsTracker.h"

#include <QElapsedTimer>

#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace TestSupport;
using namespace std::chrono_literals;

class JobQueueTest : public JobQueueFixture { };

// Files added mid-batch, or while its last job finishes, join it without another drop;
// sessions and all-time figures count each job once.
TEST_F(JobQueueTest, RunsEveryJobOnceAndNeverMoreThanTheLimitAtATime)
{
    auto& tracker = StatisticsTracker::shared();
    const qint64 filesBefore = tracker.totalFilesProcessed(), savedBefore = tracker.totalBytesSaved();
    const int sessionsBefore = tracker.sessionCount();
    QObject figures;
    int figureChanges = 0;
    QObject::connect(&tracker, &StatisticsTracker::totalFilesProcessedChanged, &figures, [&] { ++figureChanges; });
    holdUntilActive = 3;
    JobQueue queue(configuration, 3, services(40ms));
    queue.addFiles(images(8));
    processEventsUntil([&] { return count(queue, JobStatus::completed) >= 1; });
    QCoro::waitFor(queue.addFile(image("second.png")));
    processEventsUntil([&] { return count(queue, JobStatus::completed) >= 8; });
    QCoro::waitFor(queue.addFile(image("third.png")));
    ASSERT_TRUE(processEventsUntil([&] { return count(queue, JobStatus::completed) == 10 && !queue.isProcessing(); }));
    QCoro::waitFor(queue.waitUntilIdle());

    EXPECT_EQ(observed.maxActive, 3);
    EXPECT_EQ(observed.runsPerJob.size(), 10);
    for (int runs : observed.runsPerJob)
        EXPECT_EQ(runs, 1);
    EXPECT_EQ(QDir(configuration.exportPath()).entryList(QDir::Files).size(), 10);

    queue.addFiles(images(1, "later"));
    QCoro::waitFor(queue.waitUntilIdle());
    EXPECT_GE(tracker.sessionCount(), sessionsBefore + 2);
    const SessionRecord newest = tracker.sessions().first();
    EXPECT_EQ(newest.imageCount, 1) << "a session counts its own batch's jobs only";
    EXPECT_EQ(newest.optimizedCount, 1);
    EXPECT_EQ(newest.totalSavedBytes, 1);
    EXPECT_EQ(tracker.totalFilesProcessed(), filesBefore + 11);
    EXPECT_LE(figureChanges, tracker.sessionCount() - sessionsBefore) << "all-time figures change once a batch";
    EXPECT_EQ(tracker.totalBytesSaved(), savedBefore + 11);
    EXPECT_EQ(queue.totalFilesOptimized(), 11);
    EXPECT_EQ(queue.totalBytesSaved(), 11);
    EXPECT_EQ(stores, 0) << "export mode stores only files with nothing to gain";
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
    EXPECT_EQ(count(queue, JobStatus::completed), 5);
    EXPECT_EQ(count(queue, JobStatus::cancelled), 2) << "a stopped job is neither done nor placed";
    EXPECT_EQ(stores, 5) << "the two jobs whose tools the cancel stopped leave the cache alone";
    EXPECT_EQ(observed.maxActive <= 2, true);
    for (int runs : observed.runsPerJob)
        EXPECT_EQ(runs, 1);
}

// What a Stop left (stopped jobs and those never started) runs once more on request, each to its end once.
TEST_F(JobQueueTest, WhatAStopLeftRunsOnRequest)
{
    holdUntilActive = 2; // on a busy machine the first may end before the second starts
    JobQueue queue(configuration, 2, services(40ms));
    queue.addFiles(images(6));
    ASSERT_TRUE(processEventsUntil([&] { return queue.jobCount() == 6 && observed.active == 2; }));
    queue.cancelProcessing();
    QCoro::waitFor(queue.waitUntilIdle());
    EXPECT_EQ(count(queue, JobStatus::cancelled), 2);
    EXPECT_EQ(count(queue, JobStatus::pending), 4);
    const int sessions = StatisticsTracker::shared().sessionCount();
    queue.resumeStopped();
    QCoro::waitFor(queue.waitUntilIdle());
    EXPECT_EQ(count(queue, JobStatus::completed), 6);
    EXPECT_EQ(QDir(configuration.exportPath()).entryList(QDir::Files).size(), 6);
    EXPECT_EQ(StatisticsTracker::shared().sessions().first().imageCount, 6);
    EXPECT_EQ(StatisticsTracker::shared().sessionCount(), sessions + 1);
}

// A change of the settings applies to the next drop, never to files already confirmed.
TEST_F(JobQueueTest, ABatchKeepsTheSettingsItsDropWasConfirmedWith)
{
    JobQueue queue(configuration, 1, services(40ms));
    const QList<QUrl> files = images(4);
    queue.addFiles(files);
    ASSERT_TRUE(processEventsUntil([&] { return count(queue, JobStatus::completed) >= 1; }));
    configuration.setOperationMode(Configuration::OperationMode::optimizeOriginals);
    QCoro::waitFor(queue.waitUntilIdle());
    EXPECT_EQ(QDir(configuration.exportPath()).entryList(QDir::Files).size(), 4);
    for (const QUrl& file : files)
        EXPECT_EQ(readFile(file.toLocalFile()), readFile(dataFile("png/pingus-flag3.png"))) << "never replaced";
}

// Only the version the user added may be replaced: not one another program
// holds, nor one that changed while it waited (another run's result, placed
// by a rename that leaves the name empty for a moment), nor one that is gone.
// A file swapped after it was added counts the bytes the job read.
TEST_F(JobQueueTest, AFileHeldElsewhereOrChangedSinceItWasAddedIsLeftAlone)
{
    const QUrl held = image("held.png"), first = image("first.png"), placed = image("placed.png"),
               swapped = image("swapped.png"), gone = image("gone.png");
    QFile other(held.toLocalFile());
    ASSERT_TRUE(other.open(QIODevice::ReadOnly) && ::flock(other.handle(), LOCK_EX) == 0);
    const QByteArray smaller = readFile(swapped.toLocalFile()).left(300);
    std::thread otherRun;
    meddle = [&](const QString& running) {
        if (!running.endsWith("first.png"))
            return;
        writeFile(swapped.toLocalFile(), smaller);
        QFile::remove(gone.toLocalFile());
        QFile::rename(placed.toLocalFile(), placed.toLocalFile() + ".in-trash");
        otherRun = std::thread([path = placed.toLocalFile(), smaller] {
            std::this_thread::sleep_for(100ms);
            writeFile(path, smaller);
        });
    };
    JobQueue queue(configuration, 1, services());
    queue.addFiles({held, first, placed, swapped, gone});
    QCoro::waitFor(queue.waitUntilIdle());
    otherRun.join();
    const auto& jobs = queue.jobs();
    const std::pair<int, const char*> leftAlone[] = {{0, "another Pressly Pro"},
                                                     {2, "changed after it was added"},
                                                     {3, "changed after it was added"},
                                                     {4, "moved or deleted after it was added"}};
    for (const auto& [index, said] : leftAlone) {
        ASSERT_EQ(jobs[index]->status(), JobStatus::failed) << index;
        EXPECT_TRUE(jobs[index]->error()->errorDescription().contains(said))
            << index << jobs[index]->error()->errorDescription().toStdString();
        EXPECT_EQ(jobs[index]->bytesSaved(), 0) << index;
        EXPECT_FALSE(QFileInfo::exists(QDir(configuration.exportPath()).filePath(jobs[index]->fileName()))) << index;
    }
    EXPECT_EQ(readFile(swapped.toLocalFile()), smaller);
}

TEST_F(JobQueueTest, FailuresEndTheirOwnJobOnly)
{
    JobQueue queue(configuration, 2, services());
    const QString text = work.filePath("notes.png");
    writeFile(text, "plain text, named like an image");
    const QString unknown = work.filePath("data.bin");
    writeFile(unknown, "0123456789abcdef");
    // Opening a named pipe would wait for a writer for ever.
    const QString pipe = work.filePath("pipe.png");
    ASSERT_EQ(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    meddle = [](const QString& path) {
        if (path.endsWith("fail-removed.png"))
            QFile::remove(path);
    };
    queue.addFiles({image("a.png"), QUrl::fromLocalFile(work.filePath("vanished.png")), QUrl::fromLocalFile(unknown),
                    image("fail-tool.png"), QUrl::fromLocalFile(text), image("b.png"), QUrl::fromLocalFile(pipe),
                    QUrl::fromLocalFile(copyInto(QStringLiteral("odd/skimage-truncated.jpg"), work.path())),
                    image("throw.png"), image("c.png"), image("fail-removed.png")});
    QCoro::waitFor(queue.waitUntilIdle());

    // Status, then a part of the error or the best tool.
    const std::pair<JobStatus, QString> expected[] = {
        {JobStatus::completed, "shrinker"},
        {JobStatus::failed, "vanished.png"},
        {JobStatus::failed, "Unsupported file type: Unsupported file type"},
        {JobStatus::completed, "No optimization"}, // a failing tool costs only its result
        {JobStatus::failed, "damaged or incomplete"}, // text named .png is taken, then fails as no image
        {JobStatus::completed, "shrinker"},
        {JobStatus::failed, "not a regular file"},
        {JobStatus::failed, "damaged or incomplete"}, // a truncated photo is reported, not passed as optimal
        {JobStatus::failed, "unexpected error"}, // a fault inside the pipeline ends its job only
        {JobStatus::completed, "shrinker"},
        {JobStatus::failed, "removed while it was being optimized"}, // gone, not damaged
    };
    ASSERT_EQ(queue.jobs().size(), 11);
    for (int i = 0; i < 11; ++i) {
        const auto& job = queue.jobs()[i];
        EXPECT_EQ(job->status(), expected[i].first) << i;
        const QString text = job->error() ? job->error()->errorDescription() : job->bestTool().value_or("");
        EXPECT_TRUE(text.contains(expected[i].second)) << i << ": " << text.toStdString();
    }
    EXPECT_EQ(queue.totalFilesProcessed(), 11);
}

TEST_F(JobQueueTest, AnExportThatCannotBeWrittenFailsItsJobWithOrWithoutASaving)
{
    writeFile(work.filePath("a-file"), "x");
    configuration.setExportPath(work.filePath("a-file/export"));
    JobQueue queue(configuration, 2, services());
    queue.addFiles({image("fail-tool.png"), image("b.png")});
    QCoro::waitFor(queue.waitUntilIdle());

    for (const auto& job : queue.jobs()) {
        SCOPED_TRACE(job->fileName().toStdString());
        EXPECT_EQ(job->status(), JobStatus::failed);
    }
    EXPECT_TRUE(queue.jobs()[0]->error()->message().startsWith("Could not export unoptimized file: "))
        << "the reason goes with the job";
}

TEST_F(JobQueueTest, LinksStayAndTheFileTheyNameIsOptimizedOnce)
{
    configuration.setOperationMode(Configuration::OperationMode::optimizeOriginals);
    const QString photo = image("photo.png").toLocalFile();
    const QByteArray original = readFile(photo);
    QDir(work.path()).mkdir("links");
    const std::vector<std::pair<QString, QString>> links = {
        {"links/absolute.png", photo}, {"links/relative.png", "../photo.png"}, {"links/dangling.png", "../gone.png"}};
    QList<QUrl> dropped;
    for (const auto& [name, target] : links) {
        dropped << QUrl::fromLocalFile(work.filePath(name));
        ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(dropped.last().toLocalFile())), 0);
    }
    const QString shared = image("shared.png").toLocalFile();
    ASSERT_EQ(::link(QFile::encodeName(shared).constData(), QFile::encodeName(shared + ".twin").constData()), 0);
    dropped << QUrl::fromLocalFile(photo) << QUrl::fromLocalFile(shared);

    JobQueue queue(configuration, 2, services());
    queue.addFiles(dropped);
    QCoro::waitFor(queue.waitUntilIdle());

    const auto& jobs = queue.jobs();
    ASSERT_EQ(jobs.size(), 3) << "one job for the file and its two links";
    EXPECT_EQ(jobs[0]->fileURL().toLocalFile(), QFileInfo(photo).canonicalFilePath());
    EXPECT_EQ(jobs[0]->status(), JobStatus::completed);
    EXPECT_EQ(readFile(photo).size(), original.size() - 1);
    EXPECT_EQ(jobs[1]->status(), JobStatus::failed);
    EXPECT_TRUE(jobs[1]->error()->errorDescription().contains("“dangling.png” is a link to"));
    EXPECT_EQ(jobs[2]->status(), JobStatus::failed);
    EXPECT_TRUE(jobs[2]->error()->errorDescription().contains("hard links"));
    EXPECT_EQ(readFile(shared), original);
    for (const auto& [name, target] : links)
        EXPECT_EQ(std::filesystem::read_symlink(QFile::encodeName(work.filePath(name)).constData()),
                  QFile::encodeName(target).constData());
}

TEST_F(JobQueueTest, TheEventLoopKeepsTurningThroughRealBatches)
{
    sandbox.useRealTools();
    const QStringList photos{"png/debian-debian.png",
                             "png/pidgin-pidgin-logo.png",
                             "jpeg/skimage-rocket.jpg",
                             "odd/derived-plasma-summer_1am-640x400-orientation6.jpg",
                             "gif/wordpress-images-spinner.gif",
                             "heic/converted-skimage-chelsea.heic"};
    for (const auto mode :
         {Configuration::OperationMode::optimizeOriginals, Configuration::OperationMode::exportToFolder}) {
        configuration.setOperationMode(mode);
        const QString folder = work.filePath(Configuration::toString(mode));
        QDir().mkpath(folder);
        for (const QString& photo : photos)
            copyInto(photo, folder);
        JobQueue queue(configuration, 2);
        queue.disableResultsCache();
        LoopGapMeter meter;
        const QList<QUrl> items{QUrl::fromLocalFile(folder)};
        QCoro::waitFor(queue.addItems(items));
        QCoro::waitFor(queue.waitUntilIdle());
        EXPECT_LT(meter.longestOwnMilliseconds(), 500) << Configuration::toString(mode).toStdString();
        EXPECT_EQ(count(queue, JobStatus::completed), photos.size());
        for (const auto& job : queue.jobs()) // an exported result is where its job says
            if (mode == Configuration::OperationMode::exportToFolder && job->optimizedSize() < job->originalSize()) {
                EXPECT_EQ(QFileInfo(job->exportedLocation().toLocalFile()).size(), job->optimizedSize());
            }
    }
    EXPECT_EQ(QDir(configuration.exportPath()).entryList(QDir::Files).size(), photos.size());
}

// A drop of a folder of 1,000 files: jobs join in groups while the loop turns.
TEST_F(JobQueueTest, TheEventLoopKeepsTurningThroughAHugeDrop)
{
    configuration.setOperationMode(Configuration::OperationMode::optimizeOriginals);
    cached = JobPipeline::CachedResult{400, "shrinker"};
    const QString many = work.filePath("many");
    QDir().mkpath(many);
    const QByteArray png = readFile(dataFile("png/pingus-flag3.png"));
    for (int i = 0; i < 1000; ++i)
        writeFile(QStringLiteral("%1/%2.png").arg(many).arg(i, 4, 10, QLatin1Char('0')), png);
    JobQueue queue(configuration, 2, services());
    int firstJobAt = -1;
    int largestGroup = 0;
    QElapsedTimer clock;
    QObject::connect(&queue, &JobQueue::jobsAdded, &queue, [&](int first, int last) {
        firstJobAt = firstJobAt < 0 ? int(clock.elapsed()) : firstJobAt;
        largestGroup = std::max(largestGroup, last - first + 1);
    });
    LoopGapMeter meter;
    clock.start();
    const QList<QUrl> drop{QUrl::fromLocalFile(many)};
    QCoro::waitFor(queue.addItems(drop));
    const qint64 walked = clock.elapsed();
    QCoro::waitFor(queue.waitUntilIdle());
    EXPECT_LT(meter.longestOwnMilliseconds(), 500);
    EXPECT_LT(firstJobAt, walked / 2) << "jobs appear as they are found";
    EXPECT_LE(largestGroup, 256) << "each group is a short turn of the loop";
    EXPECT_EQ(count(queue, JobStatus::completed), 1000);
    EXPECT_EQ(queue.jobs().last()->fileName(), "0999.png") << "in the walk's order";
}

TEST_F(JobQueueTest, QuittingMidBatchLeavesEveryFileWholeAndNoWorkingFile)
{
    // A slow stand-in for oxipng that hands over to the real one.
    sandbox.writeScript(sandbox.bundledDir() + "/oxipng",
                        "sleep 1\nexec '" PRESSLY_BINARY_DIR "/share/pressly-pro/BundledTools/bin/oxipng' \"$@\"");
    configuration.setOperationMode(Configuration::OperationMode::optimizeOriginals);
    const QByteArray original = readFile(dataFile("png/debian-debian.png"));
    for (const bool awaited : {true, false}) {
        const QString folder = work.filePath(awaited ? "awaited" : "destroyed");
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
        EXPECT_TRUE(QDir(folder).entryList({".*"}, QDir::Files | QDir::Hidden).isEmpty());
    }
}

// The tools, the checks and the cache key of a drop's jobs all follow the
// preset it was confirmed with; the new preset serves the next drop.
TEST_F(JobQueueTest, APresetChangedMidBatchAppliesToTheNextDrop)
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
                           CancellationFlag,
                           JobPipeline::Services::Vetting) -> QCoro::Task<std::optional<WorkerResult>> {
        for (const auto& worker : workers)
            tools[job->fileName()] << worker->name();
        co_return std::nullopt;
    };
    JobQueue queue(configuration, 1, s);
    queue.addFiles({image("first.png"), image("second.png")});
    QCoro::waitFor(queue.waitUntilIdle());
    QCoro::waitFor(queue.addFile(image("next.png")));
    QCoro::waitFor(queue.waitUntilIdle());
    preferences.setCompressionPresetRaw("balanced");

    for (const char* name : {"first.png", "second.png"}) {
        EXPECT_EQ(tools[name], QStringList({"pngquant", "oxipng"})) << name;
        EXPECT_EQ(storedHash[name], ResultsCache::settingsHash("maximum")) << name;
    }
    EXPECT_EQ(tools["next.png"], QStringList{"oxipng"});
    EXPECT_EQ(storedHash["next.png"], ResultsCache::settingsHash("lossless"));
}
