// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/OptimizationJob.h"
#include "TestSupport.h"

using namespace TestSupport;

namespace {
OptimizationJob::Ptr jobFor(const QTemporaryDir& dir, qint64 size)
{
    const QString path = dir.filePath(QStringLiteral("f%1.png").arg(size));
    writeFile(path, QByteArray(size, 'x'));
    return OptimizationJob::create(QUrl::fromLocalFile(path));
}
} // namespace

// Creation reads the size or fails clearly; the savings text is never negative nor divides by zero.
TEST(OptimizationJob, CreationAndSavingsText)
{
    QTemporaryDir dir;
    auto job = jobFor(dir, 1000);
    EXPECT_EQ(job->originalSize(), 1000);
    EXPECT_EQ(job->fileName(), "f1000.png");
    EXPECT_EQ(job->status(), JobStatus::pending);
    EXPECT_EQ(job->savingsText(), "--");
    for (const auto& [optimized, text] : {std::pair{766, "23.4%"}, {1000, "0%"}, {1500, "0%"}}) {
        job->setOptimizedSize(optimized);
        EXPECT_EQ(job->savingsText(), text) << optimized;
    }
    auto empty = jobFor(dir, 0);
    empty->setOptimizedSize(0);
    EXPECT_EQ(empty->savingsText(), "0%");

    for (const auto& [path, said] : {std::pair{dir.path(), QString("File access error: Could not read file size")},
                                     {dir.filePath("gone.png"), QString("gone.png")}}) {
        std::optional<OptimizationError> error;
        EXPECT_FALSE(OptimizationJob::create(QUrl::fromLocalFile(path), &error));
        ASSERT_TRUE(error);
        EXPECT_TRUE(error->errorDescription().contains(said)) << error->errorDescription().toStdString();
        auto failed = OptimizationJob::createFailed(QUrl::fromLocalFile(path), *error);
        EXPECT_EQ(failed->status(), JobStatus::failed);
        EXPECT_EQ(failed->originalSize(), 0);
    }
}

TEST(OptimizationJob, DeferredChangesApplyInOrderAndFinalStatesStay)
{
    QTemporaryDir dir;
    auto job = jobFor(dir, 100);
    QStringList seen;
    QObject::connect(job.get(), &OptimizationJob::statusChanged,
                     [&] { seen << job->statusText() + QStringLiteral("@") + job->bestTool().value_or("-"); });

    job->reportProgress(0.5, "oxipng");
    EXPECT_EQ(job->status(), JobStatus::pending) << "changes wait for the event loop";
    drainEvents();
    EXPECT_EQ(job->status(), JobStatus::processing);
    EXPECT_EQ(job->currentTool(), "oxipng");

    job->complete(60, "pngquant", std::nullopt);
    job->reportProgress(0.9, "late tool");
    drainEvents();
    EXPECT_EQ(job->status(), JobStatus::completed);
    EXPECT_EQ(job->progress(), 1.0);
    EXPECT_EQ(job->currentTool(), "oxipng") << "a late report does not touch a finished job";
    EXPECT_EQ(seen, (QStringList{"processing@-", "completed@pngquant"}));

    auto other = jobFor(dir, 7);
    other->fail(OptimizationError::toolExecution("T", "M"));
    other->cancel();
    drainEvents();
    EXPECT_EQ(other->status(), JobStatus::cancelled);
    ASSERT_TRUE(other->error());
    EXPECT_EQ(other->error()->errorDescription(), "T failed: M");

    // Changes for a released job are dropped (the sanitizer run checks no freed memory is touched).
    other->complete(1, "x", std::nullopt);
    other.reset();
    drainEvents();
}
