// libvips first: glib names a member "signals", which Qt defines as a keyword.
#include <vips/vips8>

#include "FaultChecks.h"
#include "scheduler/FakeWorkers.h"
#include "jobs/Configuration.h"
#include "jobs/FileOperations.h"
#include "jobs/JobQueue.h"
#include "jobs/OutputPlacement.h"
#include "platform/ImageIO.h"
#include "scheduler/WorkerScheduler.h"
#include "workers/ToolSandbox.h"

#include <QCoroTimer>
#include <QThread>

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace TestSupport;
using namespace FaultChecks;
using namespace std::chrono_literals;

namespace {

class SourceChanges : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The source: the same pixels as the small file, stored without compression.
        small = dataFile(QStringLiteral("png/pingus-flag3.png"));
        ASSERT_TRUE(ImageIO::decodedSize(small));
        stored = QDir(work.path()).filePath(QStringLiteral("stored.png"));
        vips::VImage::new_from_file(small.toUtf8().constData())
            .pngsave(stored.toUtf8().constData(), vips::VImage::option()->set("compression", 0));
        ASSERT_GT(QFileInfo(stored).size(), QFileInfo(small).size());
    }
    void TearDown() override { EXPECT_TRUE(sandbox.leftovers().isEmpty()) << sandbox.leftovers().join(", ").toStdString(); }

    JobPipeline::Services services(std::function<void(const QString&)> meddle,
                                   std::function<void(const QString&)> meddleInCache = {})
    {
        JobPipeline::Services s;
        s.lookup = [meddleInCache](QUrl file, qint64) -> QCoro::Task<std::optional<JobPipeline::CachedResult>> {
            co_await QCoro::sleepFor(30ms);
            if (meddleInCache)
                meddleInCache(file.toLocalFile());
            co_return std::nullopt;
        };
        s.store = [](QUrl, qint64, qint64, qint64, QString) -> QCoro::Task<> { co_return; };
        s.makeWorkers = [this, meddle](IOFileType, int, CompressionPreset, OptimizationJob::Ptr job) {
            // Its result is a real, smaller picture of the same pixels; the test changes the source meanwhile.
            auto worker = std::make_shared<FakeWorkers::FakeEncoder>(
                "meddler",
                [this, meddle](JobContext& job) {
                    if (meddle)
                        meddle(job.fileURL().toLocalFile());
                    return readFile(small);
                },
                10ms);
            worker->setJob(job);
            return std::vector<OptimizationWorker::Ptr>{worker};
        };
        s.runCompetition = [this](std::vector<OptimizationWorker::Ptr> workers, OptimizationJob::Ptr job,
                                  IOFile::Ptr input, CancellationFlag cancel, JobPipeline::Services::Vetting vet) {
            return scheduler.runCompetition(std::move(workers), std::move(job), std::move(input), cancel,
                                            std::move(vet));
        };
        s.presetText = [] { return QStringLiteral("balanced"); };
        return s;
    }

    // Runs one in-place job over a copy of the stored source; answers the job.
    OptimizationJob::Ptr runOn(const QString& path, JobPipeline::Services s)
    {
        QFile::copy(stored, path);
        Configuration configuration;
        configuration.setOperationMode(Configuration::OperationMode::optimizeOriginals);
        JobQueue queue(configuration, 1, std::move(s));
        queue.addFiles({QUrl::fromLocalFile(path)});
        QCoro::waitFor(queue.waitUntilIdle());
        return queue.jobs().first();
    }

    QString trash() const { return trashOf(qEnvironmentVariable("XDG_DATA_HOME")); }

    QTemporaryDir work;
    ToolSandbox sandbox; // a temporary folder of its own
    WorkerScheduler scheduler;
    QString small;
    QString stored;
};

} // namespace

TEST_F(SourceChanges, ASourceChangedWhileItsJobRanIsNeverReplaced)
{
    struct Change {
        const char* name;
        std::function<void(const QString&)> apply;
        bool inCache = false;
    };
    const std::vector<Change> changes = {
        {"grows", [](const QString& p) { QFile f(p); f.open(QIODevice::Append); f.write("more"); }},
        {"rewritten in place, same size",
         [](const QString& p) {
             QByteArray bytes = readFile(p);
             bytes[bytes.size() - 20] = char(bytes[bytes.size() - 20] ^ 0x55);
             QFile f(p);
             f.open(QIODevice::ReadWrite);
             f.write(bytes);
         }},
        {"saved over by another program",
         [](const QString& p) {
             writeFile(p + ".new", readFile(p) + "!");
             ::rename(QFile::encodeName(p + ".new").constData(), QFile::encodeName(p).constData());
         }},
        {"grows while the cache is asked",
         [](const QString& p) { QFile f(p); f.open(QIODevice::Append); f.write("more"); }, true},
    };
    int index = 0;
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        const QString path = QDir(work.path()).filePath(QStringLiteral("photo%1.png").arg(index++));
        QByteArray changed;
        const auto record = [&, apply = change.apply](const QString& p) {
            apply(p);
            changed = readFile(p);
        };
        const auto job = change.inCache ? runOn(path, services({}, record)) : runOn(path, services(record));
        // A damaged source fails verification instead; either way it stays.
        EXPECT_NE(job->status(), JobStatus::processing);
        if (job->status() == JobStatus::failed) {
            const QString error = job->error()->errorDescription();
            EXPECT_TRUE(error.endsWith("Could not save optimized file: The file “" + QFileInfo(path).fileName()
                                       + "” couldn’t be replaced: it changed while it was being optimized.")
                        || error.startsWith("File access error: The image is damaged or incomplete"))
                << qPrintable(error);
        } else {
            EXPECT_EQ(job->bestTool(), "No optimization");
        }
        ASSERT_FALSE(changed.isEmpty());
        EXPECT_EQ(readFile(path), changed) << "the user's newer version stays";
        EXPECT_TRUE(trashedCopy(trash(), path, changed).isEmpty());
        EXPECT_TRUE(hiddenLeftovers(work.path()).isEmpty());
    }

    // Gone, or a folder in its place: nothing is put there.
    const QString vanished = QDir(work.path()).filePath(QStringLiteral("vanished.png"));
    auto job = runOn(vanished, services([](const QString& p) { QFile::remove(p); }));
    EXPECT_NE(job->status(), JobStatus::processing);
    EXPECT_FALSE(QFileInfo::exists(vanished));
    const QString replaced = QDir(work.path()).filePath(QStringLiteral("replaced.png"));
    job = runOn(replaced, services([](const QString& p) {
        QFile::remove(p);
        QDir().mkpath(p);
    }));
    EXPECT_NE(job->status(), JobStatus::processing);
    EXPECT_TRUE(QFileInfo(replaced).isDir());
    EXPECT_TRUE(hiddenLeftovers(work.path()).isEmpty());

    // Unchanged, the same run replaces the file: the checks above are no accident.
    const QString untouched = QDir(work.path()).filePath(QStringLiteral("untouched.png"));
    job = runOn(untouched, services({}));
    EXPECT_EQ(job->status(), JobStatus::completed);
    EXPECT_EQ(readFile(untouched), readFile(small));
    EXPECT_TRUE(nothingLost(trash(), {untouched, readFile(stored), readFile(small)}));
}

TEST_F(SourceChanges, AnEditThatKeepsSizeAndTimeIsNeverReverted)
{
    // Rewritten in place by a program that puts the modification time back.
    const auto edit = [](const QString& p) {
        QThread::msleep(20); // past the file system's clock tick
        struct stat before {};
        ::stat(QFile::encodeName(p).constData(), &before);
        QByteArray bytes = readFile(p);
        bytes[bytes.size() - 20] = char(bytes[bytes.size() - 20] ^ 0x55);
        writeFile(p, bytes);
        const timespec times[2] = {before.st_atim, before.st_mtim};
        ::utimensat(AT_FDCWD, QFile::encodeName(p).constData(), times, 0);
    };
    // Edited before placement starts, or while the new version is written.
    for (const char* when : {"before", "flush"}) {
        SCOPED_TRACE(when);
        const QString path = QDir(work.path()).filePath(QStringLiteral("edited-%1.png").arg(when));
        QFile::copy(stored, path);
        const timespec wholeSecond[2] = {{1700000000, 0}, {1700000000, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), wholeSecond, 0);
        const auto asRead = FileOperations::identityOf(path);
        if (std::strcmp(when, "before") == 0)
            edit(path);
        FileOperations::setFaultHook([&](const char* step, const QString&) {
            if (std::strcmp(step, when) == 0)
                edit(path);
            return 0;
        });
        Configuration configuration;
        const auto error = OutputPlacement(configuration)
                               .replaceOriginal(QUrl::fromLocalFile(path), QUrl::fromLocalFile(small), nullptr, asRead);
        FileOperations::setFaultHook({});
        ASSERT_TRUE(error);
        EXPECT_TRUE(error->message().contains(QStringLiteral("changed"))) << error->message().toStdString();
        EXPECT_NE(readFile(path), readFile(stored)) << "the edit stays";
        EXPECT_TRUE(trashedCopy(trash(), path, readFile(path)).isEmpty());
        EXPECT_TRUE(hiddenLeftovers(work.path()).isEmpty());
    }
}
