#include "ToolSandbox.h"
#include "jobs/OptimizationJob.h"
#include "workers/BaseCommandWorker.h"
#include "workers/JobWorkingFiles.h"
#include "workers/WorkingFilesManager.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);

// Writes whatever the test asks for and remembers what it was given.
class WritingWorker : public BaseCommandWorker {
public:
    explicit WritingWorker(QString name = QStringLiteral("writer")) : BaseCommandWorker(std::move(name)) {}

    std::function<Outcome<bool>(const QString& output)> write;
    QStringList inputs;
    QStringList outputs;

    QCoro::Task<Outcome<bool>> optimizeFile(IOFile::Ptr input, QUrl output) override
    {
        inputs << input->localPath();
        outputs << output.toLocalFile();
        co_return write(output.toLocalFile());
    }
};

Failure runWorker(BaseCommandWorker& worker) { return QCoro::waitFor(worker.run()); }

class CommandWorkerRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        original = copyInto("png/debian-debian.png", sandbox.filesDir());
        job = OptimizationJob::create(QUrl::fromLocalFile(original));
        ASSERT_TRUE(job);
        worker->setJob(job);
    }
    void TearDown() override
    {
        if (job)
            WorkingFilesManager::shared().releaseJob(JobWorkingFiles::key(*job));
        EXPECT_TRUE(sandbox.leftovers().isEmpty()) << sandbox.leftovers().join(", ").toStdString();
        EXPECT_EQ(readFile(original), readFile(dataFile("png/debian-debian.png")));
    }

    Outcome<bool> writes(const QString& path, const QByteArray& bytes)
    {
        writeFile(path, bytes);
        return Outcome<bool>::success(true);
    }

    ToolSandbox sandbox;
    QString original;
    OptimizationJob::Ptr job;
    std::shared_ptr<WritingWorker> worker = std::make_shared<WritingWorker>();
};

} // namespace

TEST_F(CommandWorkerRun, ASmallerResultBecomesTheNextToolsInput)
{
    worker->write = [&](const QString& path) { return writes(path, pngSignature + QByteArray(1000, 'a')); };
    EXPECT_EQ(runWorker(*worker), std::nullopt);
    ASSERT_EQ(worker->outputs.size(), 1);
    const QString first = worker->outputs[0];
    EXPECT_EQ(worker->inputs[0], original);
    EXPECT_TRUE(QFileInfo(first).fileName().startsWith("Pressly.writer."));
    EXPECT_TRUE(first.endsWith(".temp"));
    EXPECT_EQ(job->optimizedSize(), std::optional<qint64>(1008));
    EXPECT_EQ(job->bestTool(), std::optional<QString>("writer"));

    WritingWorker second(QStringLiteral("second"));
    second.setJob(job);
    second.write = [&](const QString& path) { return writes(path, pngSignature + QByteArray(500, 'b')); };
    EXPECT_EQ(runWorker(second), std::nullopt);
    EXPECT_EQ(second.inputs, QStringList{first});
    EXPECT_EQ(job->optimizedSize(), std::optional<qint64>(508));
    EXPECT_EQ(sandbox.leftovers().size(), 2); // both registered until the job ends
}

TEST_F(CommandWorkerRun, UnusableOrRejectedOutputsAreDeleted)
{
    const QByteArray sameSize = pngSignature + QByteArray(job->originalSize() - 8, 'c');
    const std::vector<std::function<Outcome<bool>(const QString&)>> cases = {
        [&](const QString& path) { return writes(path, {}); },                                  // empty
        [&](const QString& path) { return writes(path, sameSize); },                            // not smaller
        [&](const QString& path) { return writes(path, "\xFF\xD8\xFF" + QByteArray(100, 'j')); }, // another kind
        [&](const QString& path) { writes(path, pngSignature); return Outcome<bool>::success(false); },
        [&](const QString&) { return Outcome<bool>::success(true); },                            // claims, writes nothing
    };
    for (const auto& write : cases) {
        worker->write = write;
        EXPECT_EQ(runWorker(*worker), std::nullopt);
        EXPECT_TRUE(sandbox.leftovers().isEmpty()) << sandbox.leftovers().join(", ").toStdString();
    }
    EXPECT_EQ(job->optimizedSize(), std::nullopt);
    EXPECT_EQ(job->bestTool(), std::nullopt);
}

TEST_F(CommandWorkerRun, AFailureDeletesTheOutputAndIsPassedOn)
{
    worker->write = [&](const QString& path) -> Outcome<bool> {
        writeFile(path, pngSignature);
        return OptimizationError::toolExecution("writer", "Exit code: 2");
    };
    const Failure failure = runWorker(*worker);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->errorDescription(), "writer failed: Exit code: 2");
    EXPECT_TRUE(sandbox.leftovers().isEmpty());
}

TEST_F(CommandWorkerRun, NoJobOrNoReadableInputFailsBeforeAnyTool)
{
    worker->write = [&](const QString& path) { return writes(path, pngSignature); };
    auto orphan = std::make_shared<WritingWorker>();
    Failure failure = runWorker(*orphan);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->errorDescription(), "File access error: No job available");

    QFile::remove(original);
    failure = runWorker(*worker);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->errorDescription(), "File access error: No input file available");
    EXPECT_TRUE(worker->outputs.isEmpty());
    copyInto("png/debian-debian.png", sandbox.filesDir());
}
