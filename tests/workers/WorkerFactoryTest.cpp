#include "TestSupport.h"
#include "jobs/OptimizationJob.h"
#include "jobs/UserPreferences.h"
#include "workers/DnglabWorker.h"
#include "workers/GifsicleWorker.h"
#include "workers/HEICWorker.h"
#include "workers/JpegoptimWorker.h"
#include "workers/JpegtranWorker.h"
#include "workers/OxiPngWorker.h"
#include "workers/PngquantWorker.h"
#include "workers/SvgcleanerWorker.h"
#include "workers/WebPWorker.h"
#include "workers/WorkerFactory.h"

#include <gtest/gtest.h>

#include <map>

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
        return WorkerFactory::makeWorkers(IOFileType::png, level, compressionPresetFromString(preset), job);
    }

    std::vector<OptimizationWorker::Ptr> workersFor(IOFileType type, const QString& preset)
    {
        const int level = preset == "lossless" ? 2 : preset == "maximum" ? 5 : 3;
        return WorkerFactory::makeWorkers(type, level, compressionPresetFromString(preset), job);
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

TEST_F(WorkerSelection, EveryOtherKindGetsItsToolsByPreset)
{
    struct Jpeg {
        int maxQuality;
        bool strip;
        bool fallback;
    };
    const std::map<QString, Jpeg> jpeg{{"lossless", {100, false, false}},
                                       {"balanced", {80, false, true}},
                                       {"maximum", {70, true, true}}};
    for (const auto& [preset, expected] : jpeg) {
        const auto workers = workersFor(IOFileType::jpeg, preset);
        ASSERT_EQ(workers.size(), 2u);
        const auto jpegoptim = std::dynamic_pointer_cast<JpegoptimWorker>(workers[0]);
        const auto jpegtran = std::dynamic_pointer_cast<JpegtranWorker>(workers[1]);
        ASSERT_TRUE(jpegoptim && jpegtran);
        EXPECT_EQ(jpegoptim->name(), "jpegoptim");
        EXPECT_EQ(jpegtran->name(), "jpegtran");
        EXPECT_EQ(jpegoptim->maxQuality, expected.maxQuality);
        EXPECT_EQ(jpegoptim->stripMetadata, expected.strip);
        EXPECT_TRUE(jpegtran->progressive);
        EXPECT_EQ(jpegtran->stripMetadata, expected.strip);
        EXPECT_EQ(jpegtran->lossyFallbackAllowed, expected.fallback);
        EXPECT_FALSE(jpegoptim->isLossy());
        EXPECT_FALSE(jpegtran->isLossy());
        EXPECT_EQ(jpegtran->job(), job);
    }

    auto gif = workersFor(IOFileType::gif, "lossless");
    ASSERT_EQ(gif.size(), 1u);
    EXPECT_TRUE(std::dynamic_pointer_cast<GifsicleWorker>(gif[0])->lossless);
    for (const auto& [preset, level] : {std::pair<QString, int>{"balanced", 40}, {"maximum", 70}}) {
        gif = workersFor(IOFileType::gif, preset);
        ASSERT_EQ(gif.size(), 2u);
        const auto lossy = std::dynamic_pointer_cast<GifsicleWorker>(gif[0]);
        const auto lossless = std::dynamic_pointer_cast<GifsicleWorker>(gif[1]);
        ASSERT_TRUE(lossy && lossless);
        EXPECT_EQ(lossy->lossyLevel, level);
        EXPECT_TRUE(lossy->isLossy());
        EXPECT_TRUE(lossless->lossless);
        EXPECT_EQ(lossless->lossyLevel, 0);
        EXPECT_EQ(lossy->name(), "gifsicle");
        EXPECT_EQ(lossless->name(), "gifsicle");
    }

    for (const QString preset : {"lossless", "balanced", "maximum"}) {
        const auto svg = workersFor(IOFileType::svg, preset);
        ASSERT_EQ(svg.size(), 1u);
        EXPECT_EQ(svg[0]->name(), "svgcleaner");
        EXPECT_TRUE(std::dynamic_pointer_cast<SvgcleanerWorker>(svg[0]));
        const auto dng = workersFor(IOFileType::dng, preset);
        ASSERT_EQ(dng.size(), 1u);
        EXPECT_EQ(dng[0]->name(), "dnglab");
        EXPECT_EQ(std::dynamic_pointer_cast<DnglabWorker>(dng[0])->stripMetadata, preset == "maximum");
    }

    for (const auto& [preset, quality] :
         {std::pair<QString, double>{"lossless", 100.0}, {"balanced", 80.0}, {"maximum", 70.0}, {"other", 80.0}}) {
        const auto heic = workersFor(IOFileType::heic, preset);
        const auto webp = workersFor(IOFileType::webp, preset);
        ASSERT_EQ(heic.size(), 1u);
        ASSERT_EQ(webp.size(), 1u);
        const auto heicWorker = std::dynamic_pointer_cast<HEICWorker>(heic[0]);
        const auto webpWorker = std::dynamic_pointer_cast<WebPWorker>(webp[0]);
        ASSERT_TRUE(heicWorker && webpWorker);
        EXPECT_EQ(heicWorker->quality, quality);
        EXPECT_EQ(webpWorker->quality, quality);
        EXPECT_EQ(heicWorker->name(), "HEIC (ImageIO)");
        EXPECT_EQ(webpWorker->name(), "WebP (ImageIO)");
        EXPECT_EQ(heicWorker->isLossy(), quality < 100.0);
        EXPECT_EQ(webpWorker->job(), job);
    }
}
