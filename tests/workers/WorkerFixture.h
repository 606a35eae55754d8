#pragma once

#include "ToolSandbox.h"
#include "jobs/OptimizationJob.h"
#include "workers/IOFile.h"
#include "workers/JobWorkingFiles.h"
#include "workers/WorkingFilesManager.h"

#include <QUrl>

#include <gtest/gtest.h>

#include <vector>

// What the worker tests share: a tool sandbox, inputs copied into it, jobs
// whose working files are released at the end, and nothing left behind.
class WorkerFixture : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const auto& job : jobs)
            WorkingFilesManager::shared().releaseJob(JobWorkingFiles::key(*job));
        EXPECT_TRUE(sandbox.leftovers().isEmpty()) << sandbox.leftovers().join(", ").toStdString();
    }

    IOFile::Ptr input(const QString& relative)
    {
        return IOFile::read(QUrl::fromLocalFile(TestSupport::copyInto(relative, sandbox.filesDir())));
    }
    QUrl output(const QString& name) const { return QUrl::fromLocalFile(sandbox.filesDir() + QLatin1Char('/') + name); }
    // A job for a copy of a test-data file.
    OptimizationJob::Ptr jobFor(const QString& relative)
    {
        return jobAt(TestSupport::copyInto(relative, sandbox.filesDir()));
    }
    OptimizationJob::Ptr jobAt(const QString& path)
    {
        auto job = OptimizationJob::create(QUrl::fromLocalFile(path));
        jobs.push_back(job);
        return job;
    }
    // The arguments a stand-in wrote, one per line, to argv.txt in the bundle.
    QStringList recordedArguments() const
    {
        return QString::fromUtf8(TestSupport::readFile(sandbox.bundledDir() + "/argv.txt"))
            .split('\n', Qt::SkipEmptyParts);
    }

    ToolSandbox sandbox;
    std::vector<OptimizationJob::Ptr> jobs;
};
