// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/WorkerFactory.h"
#include "TestSupport.h"
#include "core/CompressionPreset.h"
#include "jobs/OptimizationJob.h"
#include "workers/PngquantWorker.h"

using namespace TestSupport;

// Which tools run is shown by the real-tool and end-to-end tests; here only
// that every worker made for a job lets it go.
TEST(WorkerFactory, WorkersNeverKeepTheirJobAlive)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.png");
    writeFile(path, readFile(dataFile("png/pingus-flag3.png")));
    auto job = OptimizationJob::create(QUrl::fromLocalFile(path));
    std::vector<OptimizationWorker::Ptr> made;
    for (const IOFileType type : {IOFileType::png, IOFileType::jpeg, IOFileType::gif, IOFileType::svg, IOFileType::webp,
                                  IOFileType::heic, IOFileType::dng})
        for (const auto& worker : WorkerFactory::makeWorkers(type, 5, CompressionPreset::maximum, job)) {
            EXPECT_EQ(worker->job(), job);
            made.push_back(worker);
        }
    ASSERT_FALSE(made.empty());
    job.reset();
    for (const auto& worker : made)
        EXPECT_EQ(worker->job(), nullptr) << worker->name().toStdString();
}

TEST(WorkerFactory, PngquantRunsAtASpeedItAcceptsAtEveryLevel)
{
    for (int level = 2; level <= 12; ++level) {
        const auto pngquant = std::dynamic_pointer_cast<PngquantWorker>(
            WorkerFactory::makeWorkers(IOFileType::png, level, CompressionPreset::balanced, nullptr).front());
        ASSERT_TRUE(pngquant) << level;
        EXPECT_TRUE(pngquant->speed >= 1 && pngquant->speed <= 11) << level << ": " << pngquant->speed;
    }
}
