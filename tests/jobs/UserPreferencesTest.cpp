#include "TestSupport.h"
#include "core/CompressionPreset.h"
#include "jobs/Configuration.h"
#include "jobs/ExportFolderBookmark.h"
#include "jobs/UserPreferences.h"
#include "platform/KeyValueStore.h"

#include <gtest/gtest.h>

namespace {

KeyValueStore& store() { return KeyValueStore::standard(); }

// Settings start and end empty; log lines are captured.
class Settings : public ::testing::Test {
protected:
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }
    static void clear()
    {
        for (const QString& key : keys)
            store().remove(key);
    }
    static bool hasBookmark() { return store().contains(ExportFolderBookmark::key); }
    QString folder(const QString& name) const
    {
        QDir().mkpath(dir.filePath(name));
        return dir.filePath(name);
    }

    static inline const QStringList keys{UserPreferences::operationModeKey, UserPreferences::exportPathKey,
                                         UserPreferences::warnBeforeReplacingKey, UserPreferences::compressionPresetKey,
                                         ExportFolderBookmark::key};
    UserPreferences& preferences = UserPreferences::shared();
    QTemporaryDir dir;
    TestSupport::LogCapture log;
};

} // namespace

TEST_F(Settings, FirstRunDefaultsAreReadButNeverStored)
{
    EXPECT_EQ(preferences.operationModeRaw(), "exportToFolder");
    EXPECT_EQ(preferences.exportPath(), "");
    EXPECT_TRUE(preferences.warnBeforeReplacing());
    EXPECT_EQ(preferences.compressionPreset(), CompressionPreset::balanced);
    const Configuration configuration;
    EXPECT_EQ(configuration.operationMode(), Configuration::OperationMode::exportToFolder);
    EXPECT_EQ(configuration.exportPath(), "");
    for (const QString& key : keys)
        EXPECT_FALSE(store().contains(key)) << key.toStdString();
}

TEST_F(Settings, OnlyExactRawTextsCount)
{
    for (const auto& [stored, mode] : {std::pair{"optimizeOriginals", Configuration::OperationMode::optimizeOriginals},
                                       {"exportToFolder", Configuration::OperationMode::exportToFolder},
                                       {"", Configuration::OperationMode::exportToFolder},
                                       {"Optimizeoriginals", Configuration::OperationMode::exportToFolder},
                                       {"optimizeOriginals ", Configuration::OperationMode::exportToFolder}}) {
        preferences.setOperationModeRaw(stored);
        EXPECT_EQ(Configuration().operationMode(), mode) << stored;
    }
    for (const auto& [stored, preset] :
         {std::pair{"lossless", CompressionPreset::lossless}, {"balanced", CompressionPreset::balanced},
          {"maximum", CompressionPreset::maximum}, {"Lossless", CompressionPreset::balanced},
          {"MAXIMUM", CompressionPreset::balanced}, {"", CompressionPreset::balanced}}) {
        preferences.setCompressionPresetRaw(stored);
        EXPECT_EQ(preferences.compressionPreset(), preset) << stored;
    }
}

TEST_F(Settings, WritesReachTheStoreBeforeTheyAreAnnounced)
{
    QStringList seen;
    const auto a = QObject::connect(&preferences, &UserPreferences::exportPathChanged,
                                    [&] { seen << store().string(UserPreferences::exportPathKey); });
    const auto b = QObject::connect(&preferences, &UserPreferences::warnBeforeReplacingChanged, [&] {
        seen << QString::number(store().boolean(UserPreferences::warnBeforeReplacingKey, true));
    });
    preferences.setExportPath("/srv/photos");
    preferences.setWarnBeforeReplacing(false);
    preferences.setExportPath("/srv/photos"); // no change, no announcement
    preferences.setWarnBeforeReplacing(false);
    QObject::disconnect(a);
    QObject::disconnect(b);
    EXPECT_EQ(seen, QStringList({"/srv/photos", "0"}));
    EXPECT_FALSE(preferences.warnBeforeReplacing());

    // Another writer of the store is seen at the next read.
    store().setValue(UserPreferences::compressionPresetKey, "maximum");
    EXPECT_EQ(preferences.compressionPreset(), CompressionPreset::maximum);
}

TEST_F(Settings, ConfigurationIsSeededOnceAndAnnouncesOnlyChanges)
{
    preferences.setOperationModeRaw("optimizeOriginals");
    preferences.setExportPath("/srv/out");
    Configuration configuration;
    EXPECT_EQ(configuration.operationMode(), Configuration::OperationMode::optimizeOriginals);
    preferences.setExportPath("/srv/elsewhere");
    EXPECT_EQ(configuration.exportPath(), "/srv/out");

    int announced = 0;
    QObject::connect(&configuration, &Configuration::exportPathChanged, [&] { ++announced; });
    QObject::connect(&configuration, &Configuration::operationModeChanged, [&] { ++announced; });
    configuration.setExportPath("/srv/out");
    configuration.setOperationMode(Configuration::OperationMode::optimizeOriginals);
    EXPECT_EQ(announced, 0);
    configuration.setExportPath("/srv/new");
    configuration.setOperationMode(Configuration::OperationMode::exportToFolder);
    EXPECT_EQ(announced, 2);
    EXPECT_EQ(configuration.property("exportPath").toString(), "/srv/new");
}

TEST_F(Settings, TheBookmarkRestoresOnlyAnExistingFolder)
{
    Configuration configuration;
    EXPECT_FALSE(restoreExportFolderBookmark(configuration));

    const QString exports = folder("Exports");
    saveExportFolderBookmark(QUrl::fromLocalFile(exports));
    ASSERT_TRUE(hasBookmark());
    preferences.setExportPath("/somewhere/else");
    configuration.setExportPath("/somewhere/else");
    EXPECT_TRUE(restoreExportFolderBookmark(configuration));
    EXPECT_EQ(preferences.exportPath(), exports);
    EXPECT_EQ(configuration.exportPath(), exports);

    // Gone, or a file now: refused quietly, and the bookmark is kept.
    QDir(exports).removeRecursively();
    EXPECT_FALSE(restoreExportFolderBookmark(configuration));
    TestSupport::writeFile(exports, "a file now");
    EXPECT_FALSE(restoreExportFolderBookmark(configuration));
    EXPECT_TRUE(hasBookmark());
    EXPECT_TRUE(log.lines().isEmpty());

    store().setValue(ExportFolderBookmark::key, QByteArray("relative/path"));
    EXPECT_FALSE(restoreExportFolderBookmark(configuration));
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines()[0].startsWith("Failed to restore bookmark: ")) << log.lines()[0].toStdString();
}

TEST_F(Settings, AChosenFolderIsAppliedInOrderEvenWithoutBookmark)
{
    Configuration configuration;
    const QString chosen = folder("Chosen");
    QStringList steps;
    const auto a = QObject::connect(&preferences, &UserPreferences::exportPathChanged, [&] {
        steps << QStringLiteral("preference, configuration has %1").arg(configuration.exportPath());
    });
    QObject::connect(&configuration, &Configuration::exportPathChanged,
                     [&] { steps << QStringLiteral("configuration, bookmark %1").arg(hasBookmark() ? "saved" : "absent"); });
    applyChosenExportFolder(chosen, configuration, true);
    QObject::disconnect(a);
    EXPECT_EQ(steps, QStringList({"preference, configuration has ", "configuration, bookmark absent"}));
    EXPECT_EQ(store().bytes(ExportFolderBookmark::key), chosen.toUtf8());

    // A folder that cannot be bookmarked still serves this run; only the main view's chooser says so.
    const QString missing = dir.filePath("not/there");
    applyChosenExportFolder(missing, configuration, false);
    EXPECT_TRUE(log.lines().isEmpty());
    applyChosenExportFolder(missing, configuration, true);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines()[0].startsWith("Failed to save bookmark: "));
    EXPECT_EQ(configuration.exportPath(), missing);
    EXPECT_EQ(preferences.exportPath(), missing);
    EXPECT_EQ(store().bytes(ExportFolderBookmark::key), chosen.toUtf8());
}
