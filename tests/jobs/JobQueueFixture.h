// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scheduler/FakeWorkers.h"
#include "scheduler/WorkerScheduler.h"
#include "workers/ToolSandbox.h"

#include <QElapsedTimer>
#include <QHash>

#include <stdexcept>

// How the fake tools behaved across a run.
struct Observed {
    int active = 0;
    int maxActive = 0;
    QHash<QString, int> runsPerJob;
};

// A queue over stand-in tools: each writes a copy one byte shorter, so every
// job has a winner; names with "fail" make it fail, with "throw" the pipeline.
class JobQueueFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        configuration.setOperationMode(Configuration::OperationMode::exportToFolder);
        configuration.setExportPath(work.filePath("export"));
    }

    JobPipeline::Services services(std::chrono::milliseconds toolDelay = std::chrono::milliseconds(30),
                                   std::chrono::milliseconds cacheDelay = std::chrono::milliseconds(0))
    {
        JobPipeline::Services s;
        s.lookup = [this, cacheDelay](QUrl file, qint64) -> QCoro::Task<std::optional<JobPipeline::CachedResult>> {
            co_await QCoro::sleepFor(cacheDelay);
            if (meddleInCache)
                meddleInCache(file.toLocalFile());
            co_return cached;
        };
        s.store = [this](QUrl, qint64, qint64, qint64, QString) -> QCoro::Task<> {
            ++stores;
            co_return;
        };
        s.makeWorkers = [this, toolDelay](IOFileType, int, CompressionPreset, OptimizationJob::Ptr job) {
            if (job->fileName().contains(QLatin1String("throw")))
                throw std::runtime_error("stand-in fault");
            auto worker = std::make_shared<FakeWorkers::FakeEncoder>(
                "shrinker",
                [this](JobContext& job) {
                    --observed.active;
                    if (meddle)
                        meddle(job.fileURL().toLocalFile());
                    const QByteArray bytes = TestSupport::readFile(job.fileURL().toLocalFile());
                    return job.fileURL().fileName().contains("fail") ? QByteArray() : bytes.left(bytes.size() - 1);
                },
                toolDelay);
            worker->started = [this](JobContext& job) {
                observed.runsPerJob[job.id().toString()] += 1;
                observed.maxActive = std::max(observed.maxActive, ++observed.active);
            };
            // Waits for the others on a busy machine, where durations prove nothing.
            worker->gate = [this]() -> QCoro::Task<> {
                QElapsedTimer waited;
                waited.start();
                while (observed.maxActive < holdUntilActive && waited.elapsed() < 20000)
                    co_await QCoro::sleepFor(std::chrono::milliseconds(2));
            };
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

    QUrl image(const QString& name)
    {
        return QUrl::fromLocalFile(TestSupport::copyInto(QStringLiteral("png/pingus-flag3.png"), work.path(), name));
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

    QTemporaryDir work;
    ToolSandbox sandbox; // a temporary folder of its own; no tools
    Configuration configuration;
    WorkerScheduler scheduler;
    Observed observed;
    std::optional<JobPipeline::CachedResult> cached;
    std::function<void(const QString&)> meddle; // changes the user's file while its tool runs
    std::function<void(const QString&)> meddleInCache; // or while the cache is asked
    int stores = 0;
    int holdUntilActive = 0; // the first tools wait until this many run at once
};
