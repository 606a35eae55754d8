// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/OriginalRestorer.h"
#include "TestSupport.h"
#include "jobs/OutputPlacement.h"

#include <QCoroTask>

using namespace TestSupport;

namespace {

// A real replacement first: the original in the Trash, the optimized file at its path.
class OriginalRestorerTest : public ::testing::Test {
public:
    void replace()
    {
        path = copyInto("png/pingus-flag3.png", dir.path(), "a.png");
        const QString optimized = dir.filePath("optimized.png");
        writeFile(optimized, "smaller bytes");
        Configuration configuration;
        job = OptimizationJob::create(QUrl::fromLocalFile(path));
        ASSERT_FALSE(
            OutputPlacement(configuration).replaceOriginal(job->fileURL(), QUrl::fromLocalFile(optimized), job.get()));
        drainEvents();
        job->setStatus(JobStatus::completed);
        job->setOptimizedSize(13);
        ASSERT_TRUE(job->revertURL());
    }
    OriginalRestorer::Outcome restore() { return QCoro::waitFor(OriginalRestorer().restore(job)); }

    QTemporaryDir dir;
    QString path;
    OptimizationJob::Ptr job;
};
} // namespace

TEST_F(OriginalRestorerTest, PutsTheOriginalBackOnlyOverTheOptimizedFile)
{
    const QByteArray original = readFile(dataFile("png/pingus-flag3.png"));
    // inTrash: the Trash item is still there when it was refused
    const struct {
        const char* name;
        std::function<void(OriginalRestorerTest&)> before;
        bool restores, inTrash;
    } cases[] = {
        {"restores", [](auto&) {}, true, false},
        {"trash item gone", [](auto& t) { QFile::remove(t.job->revertURL()->toLocalFile()); }, false, false},
        {"newer file saved", [](auto& t) { writeFile(t.path, "the user's newer version"); }, false, true},
        {"same size saved later",
         [](auto& t) {
             QThread::msleep(20);
             writeFile(t.path, "newer version");
         },
         false, true},
        {"optimized removed", [](auto& t) { QFile::remove(t.path); }, true, false},
        {"restored twice", [](auto& t) { ASSERT_TRUE(t.restore().ok); }, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        replace();
        const QString inTrash = job->revertURL()->toLocalFile();
        c.before(*this);
        const QByteArray atPath = readFile(path);
        const bool restoredBefore = job->isRestored();
        const auto outcome = restore();
        EXPECT_EQ(outcome.ok, c.restores) << qPrintable(outcome.message);
        EXPECT_FALSE(outcome.message.isEmpty());
        EXPECT_EQ(readFile(path), c.restores ? original : atPath);
        EXPECT_EQ(job->isRestored(), c.restores || restoredBefore);
        EXPECT_EQ(QFileInfo::exists(inTrash), c.inTrash);
        if (c.restores && std::string(c.name) == "restores") {
            EXPECT_EQ(readFile(outcome.optimizedInTrash), QByteArray("smaller bytes"));
        }
    }
}
