#include "TestSupport.h"
#include "jobs/OriginalRestorer.h"
#include "jobs/OutputPlacement.h"

#include <gtest/gtest.h>

#include <QCoroTask>
#include <QThread>

using namespace TestSupport;

namespace {
enum class Before { nothing, trashItemGone, newerFileSaved, sameSizeSavedLater, optimizedRemoved, restoredTwice };

struct Case {
    const char* name;
    Before before;
    bool restores;
};

// A real replacement first: the original in the Trash, the optimized file at its path.
class OriginalRestorerTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        path = copyInto("png/pingus-flag3.png", dir.path(), "a.png");
        original = readFile(path);
        const QString optimized = dir.filePath("optimized.png");
        writeFile(optimized, "smaller bytes");
        Configuration configuration;
        job = OptimizationJob::create(QUrl::fromLocalFile(path));
        ASSERT_FALSE(OutputPlacement(configuration).replaceOriginal(job->fileURL(), QUrl::fromLocalFile(optimized),
                                                                    job.get()));
        drainEvents();
        job->setStatus(JobStatus::completed);
        job->setOptimizedSize(13);
        ASSERT_TRUE(job->revertURL());
    }

    OriginalRestorer::Outcome restore()
    {
        return QCoro::waitFor(OriginalRestorer().restore(job));
    }

    QTemporaryDir dir;
    QString path;
    QByteArray original;
    OptimizationJob::Ptr job;
};
} // namespace

TEST_P(OriginalRestorerTest, PutsTheOriginalBackOnlyOverTheOptimizedFile)
{
    const QString inTrash = job->revertURL()->toLocalFile();
    switch (GetParam().before) {
    case Before::nothing:
        break;
    case Before::trashItemGone:
        QFile::remove(inTrash);
        break;
    case Before::newerFileSaved:
        writeFile(path, "the user's newer version");
        break;
    case Before::sameSizeSavedLater:
        QThread::msleep(20);
        writeFile(path, "newer version"); // as big as the optimized file
        break;
    case Before::optimizedRemoved:
        QFile::remove(path);
        break;
    case Before::restoredTwice:
        ASSERT_TRUE(restore().ok);
        break;
    }
    const QByteArray atPath = readFile(path);
    const auto outcome = restore();
    EXPECT_EQ(outcome.ok, GetParam().restores) << qPrintable(outcome.message);
    EXPECT_FALSE(outcome.message.isEmpty());
    if (GetParam().restores) {
        EXPECT_EQ(readFile(path), original);
        EXPECT_TRUE(job->isRestored());
        EXPECT_FALSE(QFileInfo::exists(inTrash));
        if (GetParam().before == Before::nothing) {
            EXPECT_EQ(readFile(outcome.optimizedInTrash), QByteArray("smaller bytes"));
        }
    } else {
        EXPECT_EQ(readFile(path), atPath);
        const bool stillThere = GetParam().before != Before::trashItemGone && GetParam().before != Before::restoredTwice;
        EXPECT_EQ(QFileInfo::exists(inTrash), stillThere);
        EXPECT_EQ(job->isRestored(), GetParam().before == Before::restoredTwice);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, OriginalRestorerTest,
                         ::testing::Values(Case{"restores", Before::nothing, true},
                                           Case{"trashItemGone", Before::trashItemGone, false},
                                           Case{"newerFileSaved", Before::newerFileSaved, false},
                                           Case{"sameSizeSavedLater", Before::sameSizeSavedLater, false},
                                           Case{"optimizedRemoved", Before::optimizedRemoved, true},
                                           Case{"restoredTwice", Before::restoredTwice, false}),
                         [](const auto& info) { return std::string(info.param.name); });
