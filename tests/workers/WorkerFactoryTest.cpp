#include "TestSupport.h"
#include "jobs/OptimizationJob.h"
#include "core/CompressionPreset.h"
#include "workers/DnglabWorker.h"
#include "workers/GifsicleWorker.h"
#include "workers/HEICWorker.h"
#include "workers/JpegoptimWorker.h"
#include "workers/JpegtranWorker.h"
#include "workers/OxiPngWorker.h"
#include "workers/PngquantWorker.h"
#include "workers/WebPWorker.h"
#include "workers/WorkerFactory.h"

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

// One worker in a few words: its name, whether it may lose detail, and its settings.
QString describe(const OptimizationWorker::Ptr& worker)
{
    QString text = worker->name() + (worker->isLossy() ? " lossy" : "");
    if (auto w = std::dynamic_pointer_cast<PngquantWorker>(worker))
        text += QStringLiteral(" %1/%2").arg(w->minQuality).arg(w->speed);
    else if (auto w = std::dynamic_pointer_cast<OxiPngWorker>(worker))
        text += QStringLiteral(" o%1%2").arg(w->optLevel).arg(w->stripMetadata ? " strip" : "");
    else if (auto w = std::dynamic_pointer_cast<JpegoptimWorker>(worker))
        text += QStringLiteral(" m%1%2").arg(w->maxQuality).arg(w->stripMetadata ? " strip" : "");
    else if (auto w = std::dynamic_pointer_cast<JpegtranWorker>(worker))
        text += QStringLiteral("%1%2%3").arg(w->progressive ? " progressive" : "", w->stripMetadata ? " strip" : "",
                                             w->lossyFallbackAllowed ? " reencodes" : "");
    else if (auto w = std::dynamic_pointer_cast<GifsicleWorker>(worker))
        text += w->lossless ? QStringLiteral(" O3") : QStringLiteral(" %1").arg(w->lossyLevel);
    else if (auto w = std::dynamic_pointer_cast<DnglabWorker>(worker))
        text += w->stripMetadata ? " strip" : "";
    else if (auto w = std::dynamic_pointer_cast<HEICWorker>(worker))
        text += QStringLiteral(" q%1").arg(w->quality);
    else if (auto w = std::dynamic_pointer_cast<WebPWorker>(worker))
        text += QStringLiteral(" q%1").arg(w->quality);
    return text;
}

} // namespace

TEST(WorkerFactory, EachKindGetsItsToolsByPresetAndLevel)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.png");
    writeFile(path, readFile(dataFile("png/pingus-flag3.png")));
    auto job = OptimizationJob::create(QUrl::fromLocalFile(path));

    struct Case {
        IOFileType type;
        const char* preset;
        int level;
        QStringList workers;
    };
    const Case cases[] = {
        {IOFileType::png, "lossless", 2, {"oxipng o2"}},
        {IOFileType::png, "balanced", 3, {"pngquant lossy 75/3", "oxipng o3"}},
        {IOFileType::png, "maximum", 5, {"pngquant lossy 60/2", "oxipng o5 strip"}},
        {IOFileType::png, "balanced", 1, {"oxipng o2"}},
        {IOFileType::png, "extreme", 3, {"pngquant lossy 75/3", "oxipng o3"}},
        {IOFileType::jpeg, "lossless", 2, {"jpegoptim m100", "jpegtran progressive"}},
        {IOFileType::jpeg, "balanced", 3, {"jpegoptim m80", "jpegtran progressive reencodes"}},
        {IOFileType::jpeg, "maximum", 5, {"jpegoptim m70 strip", "jpegtran progressive strip reencodes"}},
        {IOFileType::gif, "lossless", 2, {"gifsicle O3"}},
        {IOFileType::gif, "balanced", 3, {"gifsicle lossy 40", "gifsicle O3"}},
        {IOFileType::gif, "maximum", 5, {"gifsicle lossy 70", "gifsicle O3"}},
        {IOFileType::svg, "maximum", 5, {"svgcleaner"}},
        {IOFileType::dng, "balanced", 3, {"dnglab"}},
        {IOFileType::dng, "maximum", 5, {"dnglab strip"}},
        {IOFileType::heic, "lossless", 2, {"HEIC (ImageIO) q100"}},
        {IOFileType::heic, "maximum", 5, {"HEIC (ImageIO) lossy q70"}},
        {IOFileType::webp, "balanced", 3, {"WebP (ImageIO) lossy q80"}},
        {IOFileType::webp, "other", 3, {"WebP (ImageIO) lossy q80"}},
    };
    std::vector<OptimizationWorker::Ptr> made;
    for (const Case& c : cases) {
        QStringList described;
        for (const auto& worker : WorkerFactory::makeWorkers(c.type, c.level, compressionPresetFromString(c.preset), job)) {
            described << describe(worker);
            EXPECT_EQ(worker->job(), job);
            made.push_back(worker);
        }
        EXPECT_EQ(described, c.workers) << c.preset << " " << c.level;
    }
    job.reset();
    for (const auto& worker : made)
        EXPECT_EQ(worker->job(), nullptr) << "workers never keep their job alive";
}
