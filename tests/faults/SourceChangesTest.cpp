// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FaultChecks.h"
#include "jobs/FileOperations.h"
#include "jobs/JobQueueFixture.h"

using namespace TestSupport;
using namespace FaultChecks;

namespace {

class SourceChanges : public JobQueueFixture {
protected:
    // Runs one in-place job over a fresh copy of the small image; answers the job.
    OptimizationJob::Ptr runOn(const QString& name)
    {
        configuration.setOperationMode(Configuration::OperationMode::optimizeOriginals);
        JobQueue queue(configuration, 1, services());
        queue.addFiles({image(name)});
        QCoro::waitFor(queue.waitUntilIdle());
        return queue.jobs().first();
    }

    QString trash() const { return trashOf(qEnvironmentVariable("XDG_DATA_HOME")); }
};

} // namespace

TEST_F(SourceChanges, ASourceChangedWhileItsJobRanIsNeverReplaced)
{
    // Changed while its tool runs, while the cache is asked, or when its
    // replacement reaches a step: before the Trash, after it, while flushing.
    struct Change {
        const char* name;
        std::function<void(const QString&)> apply;
        bool inCache = false;
        const char* step = nullptr;
        const char* reason = "it changed while it was being optimized.";
    };
    const auto grow = [](const QString& p) { appendFile(p, "more"); };
    const auto saveTheirs = [](const QString& p) { saveOver(p, readFile(p) + "!"); };
    const std::vector<Change> changes = {
        {"grows", grow},
        {"rewritten in place, same size and time", editKeepingTime},
        {"saved over by another program", saveTheirs},
        {"grows while the cache is asked", grow, true},
        {"saved over before the Trash", saveTheirs, false, "trash"},
        {"saved over after the Trash", saveTheirs, false, "rename", "; the original is in the Trash."},
        {"rewritten while the new version is flushed", editKeepingTime, false, "flush"},
    };
    int index = 0;
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        const QString path = work.filePath(QStringLiteral("photo%1.png").arg(index));
        QByteArray changed;
        const auto apply = [&, apply = change.apply](const QString& p) {
            apply(p);
            changed = readFile(p);
        };
        if (change.step)
            FileOperations::setFaultHook([&](const char* step, const QString&) {
                if (changed.isEmpty() && qstrcmp(step, change.step) == 0)
                    apply(path);
                return 0;
            });
        else
            (change.inCache ? meddleInCache : meddle) = apply;
        const auto job = runOn(QStringLiteral("photo%1.png").arg(index++));
        meddle = meddleInCache = {};
        FileOperations::setFaultHook({});
        // A damaged source fails verification instead; either way it stays.
        EXPECT_NE(job->status(), JobStatus::processing);
        if (job->status() == JobStatus::failed) {
            const QString error = job->error()->errorDescription();
            EXPECT_TRUE((error.contains("Could not save optimized file: The file “" + QFileInfo(path).fileName()
                                        + "” couldn’t be replaced: ")
                         && error.endsWith(QString::fromUtf8(change.reason)))
                        || error.startsWith("File access error: The image is damaged or incomplete"))
                << qPrintable(error);
        } else {
            EXPECT_EQ(job->bestTool(), "No optimization");
        }
        ASSERT_FALSE(changed.isEmpty());
        EXPECT_EQ(readFile(path), changed) << "the user's newer version stays";
        EXPECT_TRUE(trashedCopy(trash(), path, changed).isEmpty());
        EXPECT_TRUE(hiddenLeftovers(work.path()).isEmpty());
    }

    // Gone, or a folder in its place: nothing is put there.
    meddle = [](const QString& p) { QFile::remove(p); };
    EXPECT_NE(runOn("vanished.png")->status(), JobStatus::processing);
    EXPECT_FALSE(QFileInfo::exists(work.filePath("vanished.png")));
    meddle = [](const QString& p) {
        QFile::remove(p);
        QDir().mkpath(p);
    };
    EXPECT_NE(runOn("replaced.png")->status(), JobStatus::processing);
    EXPECT_TRUE(QFileInfo(work.filePath("replaced.png")).isDir());
    EXPECT_TRUE(hiddenLeftovers(work.path()).isEmpty());

    // Unchanged, the same run replaces the file: the checks above are no accident.
    meddle = {};
    const QByteArray original = readFile(dataFile("png/pingus-flag3.png"));
    const QString untouched = work.filePath(QStringLiteral("untouched.png"));
    EXPECT_EQ(runOn("untouched.png")->status(), JobStatus::completed);
    EXPECT_EQ(readFile(untouched), original.chopped(1));
    EXPECT_TRUE(nothingLost(trash(), {untouched, original, original.chopped(1)}));
}
