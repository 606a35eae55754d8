#include "ToolSandbox.h"
#include "jobs/OptimizationJob.h"
#include "workers/BaseCommandWorker.h"
#include "workers/GifsicleWorker.h"
#include "workers/OxiPngWorker.h"
#include "workers/PngquantWorker.h"
#include "workers/SvgcleanerWorker.h"
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

// How a result becomes the next tool's input is checked with the scheduler's lossy chain.
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

// What each tool's exit status means, with stand-ins that exit as told ("" : the tool is missing).
TEST(ToolStatuses, EachToolsStatusesMeanWhatTheySay)
{
    ToolSandbox sandbox;
    struct Case {
        const char* file;
        std::function<std::unique_ptr<BaseCommandWorker>()> make;
        QByteArray script;
        bool written;
        QString outcome; // the error, or a line logged when nothing was written
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
        sandbox.clearLines();
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
