#include "TestSupport.h"
#include "jobs/Configuration.h"
#include "jobs/ExportFolderBookmark.h"
#include "jobs/UserPreferences.h"
#include "platform/KeyValueStore.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

namespace {
struct LogCapture {
    LogCapture()
    {
        Log::setSink([this](const QString& line) { lines << line; });
    }
    ~LogCapture() { Log::setSink({}); }
    QStringList lines;
};

class ExportFolderBookmarkTest : public ::testing::Test {
protected:
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }
    static void clear()
    {
        KeyValueStore::standard().remove(ExportFolderBookmark::key);
        KeyValueStore::standard().remove(UserPreferences::exportPathKey);
    }
    static bool hasBookmark() { return KeyValueStore::standard().contains(ExportFolderBookmark::key); }

    QTemporaryDir dir;
};
} // namespace

TEST_F(ExportFolderBookmarkTest, SavedFolderRestoresIntoBothPaths)
{
    LogCapture log;
    Configuration configuration;
    EXPECT_FALSE(restoreExportFolderBookmark(configuration));
    EXPECT_TRUE(log.lines.isEmpty());

    const QString folder = dir.filePath("Exports");
    QDir().mkpath(folder);
    saveExportFolderBookmark(QUrl::fromLocalFile(folder));
    ASSERT_TRUE(hasBookmark());
    UserPreferences::shared().setExportPath("/somewhere/else");
    configuration.setExportPath("/somewhere/else");

    EXPECT_TRUE(restoreExportFolderBookmark(configuration));
    EXPECT_EQ(UserPreferences::shared().exportPath(), folder);
    EXPECT_EQ(configuration.exportPath(), folder);
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST_F(ExportFolderBookmarkTest, FolderGoneOrNotAFolderIsRefusedQuietly)
{
    LogCapture log;
    Configuration configuration;
    configuration.setExportPath("/kept");
    const QString folder = dir.filePath("Gone");
    QDir().mkpath(folder);
    saveExportFolderBookmark(QUrl::fromLocalFile(folder));
    QDir(folder).removeRecursively();

    EXPECT_FALSE(restoreExportFolderBookmark(configuration));
    EXPECT_TRUE(hasBookmark());
    EXPECT_EQ(configuration.exportPath(), "/kept");
    EXPECT_EQ(UserPreferences::shared().exportPath(), "");

    TestSupport::writeFile(folder, "a file now");
    EXPECT_FALSE(restoreExportFolderBookmark(configuration));
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST_F(ExportFolderBookmarkTest, UnreadableBookmarkIsLogged)
{
    LogCapture log;
    Configuration configuration;
    KeyValueStore::standard().setValue(ExportFolderBookmark::key, QByteArray("relative/path"));
    EXPECT_FALSE(restoreExportFolderBookmark(configuration));
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(log.lines[0].startsWith("Failed to restore bookmark: ")) << log.lines[0].toStdString();
}

TEST_F(ExportFolderBookmarkTest, ChosenFolderIsAppliedInOrderEvenWithoutBookmark)
{
    LogCapture log;
    Configuration configuration;
    const QString folder = dir.filePath("Chosen");
    QDir().mkpath(folder);

    QStringList steps;
    const auto a = QObject::connect(&UserPreferences::shared(), &UserPreferences::exportPathChanged, [&] {
        steps << QStringLiteral("preference, configuration has %1").arg(configuration.exportPath());
    });
    QObject::connect(&configuration, &Configuration::exportPathChanged, [&] {
        steps << QStringLiteral("configuration, bookmark %1").arg(hasBookmark() ? "saved" : "absent");
    });
    applyChosenExportFolder(folder, configuration, true);
    QObject::disconnect(a);
    EXPECT_EQ(steps, QStringList({"preference, configuration has ", "configuration, bookmark absent"}));
    EXPECT_EQ(UserPreferences::shared().exportPath(), folder);
    EXPECT_EQ(KeyValueStore::standard().bytes(ExportFolderBookmark::key), folder.toUtf8());

    // A folder that cannot be bookmarked still serves this run; only the
    // main view's chooser says so.
    const QString missing = dir.filePath("not/there");
    applyChosenExportFolder(missing, configuration, false);
    EXPECT_TRUE(log.lines.isEmpty());
    applyChosenExportFolder(missing, configuration, true);
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(log.lines[0].startsWith("Failed to save bookmark: "));
    EXPECT_EQ(configuration.exportPath(), missing);
    EXPECT_EQ(UserPreferences::shared().exportPath(), missing);
    EXPECT_EQ(KeyValueStore::standard().bytes(ExportFolderBookmark::key), folder.toUtf8());
}
