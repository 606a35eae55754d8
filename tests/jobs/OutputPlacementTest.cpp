#include "TestSupport.h"
#include "jobs/Configuration.h"
#include "jobs/OutputPlacement.h"
#include "jobs/UserPreferences.h"
#include "platform/KeyValueStore.h"
#include "workers/IOFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;
using Mode = Configuration::OperationMode;

namespace {
QString trashDir() { return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash"); }

QStringList hiddenTemporaries(const QString& folder)
{
    return QDir(folder).entryList({".Pressly.*"}, QDir::Files | QDir::Hidden);
}

class OutputPlacementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        KeyValueStore::standard().remove(UserPreferences::exportPathKey);
        QDir().mkpath(dir.filePath("photos"));
        QDir().mkpath(dir.filePath("work"));
        source = copyInto("png/pingus-flag3.png", dir.filePath("photos"), "a.png");
        original = readFile(source);
        optimized = dir.filePath("work/Pressly.optimized.png");
        writeFile(optimized, "smaller bytes");
        configuration.setExportPath({});
    }
    void TearDown() override { KeyValueStore::standard().remove(UserPreferences::exportPathKey); }

    OptimizationJob::Ptr jobFor(const QString& path) { return OptimizationJob::create(QUrl::fromLocalFile(path)); }
    IOFile record() const { return IOFile(QUrl::fromLocalFile(optimized), IOFileType::png, 13); }

    QTemporaryDir dir;
    Configuration configuration;
    QString source;
    QByteArray original;
    QString optimized;
};
} // namespace

TEST_F(OutputPlacementTest, ExportNumbersTakenNamesAndLeavesSourcesAlone)
{
    configuration.setOperationMode(Mode::exportToFolder);
    const QString out = dir.filePath("new/nested/Export");
    configuration.setExportPath(out);
    OutputPlacement placement(configuration);
    auto job = jobFor(source);

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(placement.placeOutput(*job, record()), std::nullopt);
    EXPECT_EQ(placement.exportOriginalCopy(*job), std::nullopt);

    const QStringList names = QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    EXPECT_EQ(names, QStringList({"a (1).png", "a (2).png", "a (3).png", "a.png"}));
    EXPECT_EQ(readFile(out + "/a (2).png"), "smaller bytes");
    EXPECT_EQ(readFile(out + "/a (3).png"), original);
    EXPECT_EQ(readFile(source), original);
    EXPECT_TRUE(QFile::exists(optimized));
    EXPECT_FALSE(job->revertURL());

    // Each candidate comes from the wanted name, not from the one before.
    QFile::remove(out + "/a (1).png");
    const auto unique = [](const QString& path) {
        return OutputPlacement::uniqueDestination(QUrl::fromLocalFile(path)).toLocalFile();
    };
    EXPECT_EQ(unique(out + "/a.png"), out + "/a (1).png");
    writeFile(out + "/README", "x");
    writeFile(out + "/.profile", "x");
    EXPECT_EQ(unique(out + "/README"), out + "/README (1)");
    EXPECT_EQ(unique(out + "/.profile"), out + "/.profile (1)");
    EXPECT_EQ(unique(out + "/free.jpg"), out + "/free.jpg");
    // A dangling link still holds its name.
    ASSERT_TRUE(QFile::link(dir.filePath("nowhere"), out + "/b.jpg"));
    EXPECT_EQ(unique(out + "/b.jpg"), out + "/b (1).jpg");
}

TEST_F(OutputPlacementTest, ExportFolderComesFromThePreferenceOrIsMissing)
{
    configuration.setOperationMode(Mode::exportToFolder);
    OutputPlacement placement(configuration);
    auto job = jobFor(source);

    auto error = placement.placeOutput(*job, record());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), OptimizationError::Kind::fileAccessError);
    EXPECT_EQ(error->message(), "No export folder selected. Please choose an export folder in settings.");
    error = placement.exportOriginalCopy(*job);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), OptimizationError::Kind::fileAccessError);
    EXPECT_EQ(error->message(), "No export folder selected.");

    const QString remembered = dir.filePath("remembered");
    UserPreferences::shared().setExportPath(remembered);
    EXPECT_EQ(placement.placeOutput(*job, record()), std::nullopt);
    EXPECT_EQ(readFile(remembered + "/a.png"), "smaller bytes");
}

TEST_F(OutputPlacementTest, ExportIntoAFolderThatCannotBeMadeOrWritten)
{
    configuration.setOperationMode(Mode::exportToFolder);
    OutputPlacement placement(configuration);
    auto job = jobFor(source);

    writeFile(dir.filePath("plain-file"), "x");
    configuration.setExportPath(dir.filePath("plain-file/Export"));
    auto error = placement.placeOutput(*job, record());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), OptimizationError::Kind::platform);
    EXPECT_TRUE(error->message().contains("plain-file/Export")) << error->message().toStdString();

    configuration.setExportPath(dir.filePath("out"));
    QFile::remove(optimized);
    error = placement.placeOutput(*job, record());
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->message().contains("Pressly.optimized.png")) << error->message().toStdString();
    EXPECT_TRUE(QDir(dir.filePath("out")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));

    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; the other failures above were checked";
    const QString locked = dir.filePath("locked");
    QDir().mkpath(locked);
    QFile(locked).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    configuration.setExportPath(locked);
    error = placement.exportOriginalCopy(*job);
    QFile(locked).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->message().contains("a.png"));
}

TEST_F(OutputPlacementTest, ReplacingKeepsNameAndPermissionsAndTrashesTheOriginal)
{
    configuration.setOperationMode(Mode::optimizeOriginals);
    ASSERT_EQ(::chmod(QFile::encodeName(source).constData(), 0640), 0);
    OutputPlacement placement(configuration);
    auto job = jobFor(source);

    ASSERT_EQ(placement.placeOutput(*job, record()), std::nullopt);
    EXPECT_EQ(readFile(source), "smaller bytes");
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(source).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_TRUE(hiddenTemporaries(dir.filePath("photos")).isEmpty());
    EXPECT_TRUE(QFile::exists(optimized));

    ASSERT_TRUE(job->revertURL());
    const QString trashed = job->revertURL()->toLocalFile();
    EXPECT_TRUE(trashed.startsWith(trashDir() + "/files/")) << trashed.toStdString();
    EXPECT_EQ(readFile(trashed), original);
    const QByteArray trashInfo = readFile(trashDir() + "/info/" + QFileInfo(trashed).fileName() + ".trashinfo");
    EXPECT_TRUE(trashInfo.contains("Path=")) << trashInfo.constData();
}

TEST_F(OutputPlacementTest, FailedReplacementPutsTheOriginalBack)
{
    // The new version vanishes after the original went to the Trash, so the
    // final rename fails.
    const QString folder = dir.filePath("photos");
    QString trashedTo;
    OutputPlacement placement(configuration, [&](const QString& path) {
        const auto outcome = Trash::moveToTrash(path);
        trashedTo = outcome.pathInTrash;
        for (const QString& name : hiddenTemporaries(folder))
            QFile::remove(QDir(folder).filePath(name));
        return outcome;
    });
    auto job = jobFor(source);

    const auto error = placement.replaceOriginal(QUrl::fromLocalFile(source), QUrl::fromLocalFile(optimized), job.get());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), OptimizationError::Kind::platform);
    EXPECT_TRUE(error->message().contains("a.png")) << error->message().toStdString();
    EXPECT_EQ(readFile(source), original);
    EXPECT_FALSE(job->revertURL());
    ASSERT_FALSE(trashedTo.isEmpty());
    EXPECT_FALSE(QFile::exists(trashedTo));
    EXPECT_FALSE(QFile::exists(trashDir() + "/info/" + QFileInfo(trashedTo).fileName() + ".trashinfo"));
}

TEST_F(OutputPlacementTest, NothingChangesWhenTheTrashRefusesOrTheResultIsUnreadable)
{
    const QString folder = dir.filePath("photos");
    OutputPlacement refusing(configuration, [](const QString&) {
        return Trash::Outcome{false, {}, QStringLiteral("The volume has no Trash.")};
    });
    auto error = refusing.replaceOriginal(QUrl::fromLocalFile(source), QUrl::fromLocalFile(optimized));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->errorDescription(), "The volume has no Trash.");
    EXPECT_EQ(readFile(source), original);
    EXPECT_TRUE(hiddenTemporaries(folder).isEmpty());

    int trashCalls = 0;
    OutputPlacement counting(configuration, [&](const QString& path) {
        ++trashCalls;
        return Trash::moveToTrash(path);
    });
    for (const QString& unreadable : {dir.filePath("work/missing.png"), dir.filePath("work")}) {
        error = counting.replaceOriginal(QUrl::fromLocalFile(source), QUrl::fromLocalFile(unreadable));
        ASSERT_TRUE(error);
        EXPECT_TRUE(error->message().contains("a.png")) << error->message().toStdString();
    }
    EXPECT_EQ(trashCalls, 0);
    EXPECT_EQ(readFile(source), original);
    EXPECT_TRUE(hiddenTemporaries(folder).isEmpty());

    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; refusals above were checked";
    QFile(folder).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    error = counting.replaceOriginal(QUrl::fromLocalFile(source), QUrl::fromLocalFile(optimized));
    QFile(folder).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_TRUE(error);
    EXPECT_EQ(trashCalls, 0);
    EXPECT_EQ(readFile(source), original);
}

TEST_F(OutputPlacementTest, AFileThatTakesThePathMeanwhileIsNeverOverwritten)
{
    OutputPlacement placement(configuration, [&](const QString& path) {
        const auto outcome = Trash::moveToTrash(path);
        writeFile(path, "saved by another program");
        return outcome;
    });
    auto job = jobFor(source);
    const auto error = placement.replaceOriginal(QUrl::fromLocalFile(source), QUrl::fromLocalFile(optimized), job.get());
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->message().contains("Trash")) << error->message().toStdString();
    EXPECT_EQ(readFile(source), "saved by another program");
    EXPECT_TRUE(hiddenTemporaries(dir.filePath("photos")).isEmpty());
}
