#include "jobs/OptimizationJob.h"
#include "jobs/UserPreferences.h"
#include "TestSupport.h"
#include "workers/OxiPngWorker.h"
#include "workers/PngquantWorker.h"
#include "workers/WorkerFactory.h"

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

class WorkerSelection : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = UserPreferences::shared().compressionPresetRaw();
        const QString path = dir.filePath("a.png");
        writeFile(path, readFile(dataFile("png/pingus-flag3.png")));
        job = OptimizationJob::create(QUrl::fromLocalFile(path));
    }
    void TearDown() override { UserPreferences::shared().setCompressionPresetRaw(previous); }

    std::vector<OptimizationWorker::Ptr> pngWorkersFor(const QString& preset, int level)
    {
        UserPreferences::shared().setCompressionPresetRaw(preset);
        return WorkerFactory::makeWorkers(IOFileType::png, level, job);
    }

    QTemporaryDir dir;
    QString previous;
    OptimizationJob::Ptr job;
};

} // namespace

TEST_F(WorkerSelection, PngToolsFollowThePresetAndLevel)
{
    auto workers = pngWorkersFor("lossless", 2);
    ASSERT_EQ(workers.size(), 1u);
    auto oxipng = std::dynamic_pointer_cast<OxiPngWorker>(workers[0]);
    ASSERT_TRUE(oxipng);
    EXPECT_EQ(oxipng->name(), "oxipng");
    EXPECT_EQ(oxipng->optLevel, 2);
    EXPECT_FALSE(oxipng->stripMetadata);
    EXPECT_FALSE(oxipng->isLossy());
    EXPECT_EQ(oxipng->job(), job);

    workers = pngWorkersFor("balanced", 3);
    ASSERT_EQ(workers.size(), 2u);
    auto pngquant = std::dynamic_pointer_cast<PngquantWorker>(workers[0]);
    ASSERT_TRUE(pngquant);
    EXPECT_EQ(pngquant->name(), "pngquant");
    EXPECT_EQ(pngquant->minQuality, 75);
    EXPECT_EQ(pngquant->speed, 3);
    EXPECT_TRUE(pngquant->isLossy());
    EXPECT_EQ(pngquant->job(), job);
    oxipng = std::dynamic_pointer_cast<OxiPngWorker>(workers[1]);
    ASSERT_TRUE(oxipng);
    EXPECT_EQ(oxipng->optLevel, 3);
    EXPECT_FALSE(oxipng->stripMetadata);

    workers = pngWorkersFor("maximum", 5);
    ASSERT_EQ(workers.size(), 2u);
    pngquant = std::dynamic_pointer_cast<PngquantWorker>(workers[0]);
    EXPECT_EQ(pngquant->minQuality, 60);
    EXPECT_EQ(pngquant->speed, 2);
    oxipng = std::dynamic_pointer_cast<OxiPngWorker>(workers[1]);
    EXPECT_EQ(oxipng->optLevel, 5);
    EXPECT_TRUE(oxipng->stripMetadata);

    // Levels outside 2 to 6 are clamped for oxipng; pngquant needs level 2 or more.
    workers = pngWorkersFor("maximum", 9);
    EXPECT_EQ(std::dynamic_pointer_cast<OxiPngWorker>(workers[1])->optLevel, 6);
    workers = pngWorkersFor("balanced", 1);
    ASSERT_EQ(workers.size(), 1u);
    EXPECT_EQ(std::dynamic_pointer_cast<OxiPngWorker>(workers[0])->optLevel, 2);
}

TEST_F(WorkerSelection, AnUnknownPresetIsBalancedAndEachCallReadsItAfresh)
{
    auto workers = pngWorkersFor("extreme", 3);
    ASSERT_EQ(workers.size(), 2u);
    EXPECT_EQ(std::dynamic_pointer_cast<PngquantWorker>(workers[0])->minQuality, 75);
    EXPECT_FALSE(std::dynamic_pointer_cast<OxiPngWorker>(workers[1])->stripMetadata);

    EXPECT_EQ(pngWorkersFor("lossless", 3).size(), 1u);
    EXPECT_EQ(pngWorkersFor("balanced", 3).size(), 2u);
}

TEST_F(WorkerSelection, WorkersNeverKeepTheirJobAlive)
{
    const auto workers = pngWorkersFor("balanced", 3);
    job.reset();
    for (const auto& worker : workers)
        EXPECT_EQ(worker->job(), nullptr);
}
