// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/UserPreferences.h"
#include "TestSupport.h"
#include "core/CompressionPreset.h"
#include "jobs/Configuration.h"
#include "jobs/ExportFolderBookmark.h"
#include "platform/KeyValueStore.h"

namespace {

KeyValueStore& store()
{
    return KeyValueStore::standard();
}

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

    static inline const QStringList keys{
        UserPreferences::operationModeKey,     UserPreferences::exportPathKey, UserPreferences::warnBeforeReplacingKey,
        UserPreferences::compressionPresetKey, ExportFolderBookmark::key,      UserPreferences::watchedFoldersKey,
        UserPreferences::watchingPausedKey};
    UserPreferences& preferences = UserPreferences::shared();
    QTemporaryDir dir;
    TestSupport::LogCapture log;
};

} // namespace

// First-run defaults are read but never stored; only exact raw texts count.
TEST_F(Settings, DefaultsAndOnlyExactRawTexts)
{
    EXPECT_EQ(preferences.operationModeRaw(), "exportToFolder");
    EXPECT_EQ(preferences.exportPath(), "");
    EXPECT_TRUE(preferences.warnBeforeReplacing());
    EXPECT_EQ(preferences.compressionPreset(), CompressionPreset::balanced);
    EXPECT_EQ(Configuration().exportPath(), "");
    for (const QString& key : keys)
        EXPECT_FALSE(store().contains(key)) << key.toStdString();

    using Mode = Configuration::OperationMode;
    for (const auto& [stored, mode] : {std::pair{"optimizeOriginals", Mode::optimizeOriginals},
                                       {"exportToFolder", Mode::exportToFolder},
                                       {"", Mode::exportToFolder},
                                       {"Optimizeoriginals", Mode::exportToFolder},
                                       {"optimizeOriginals ", Mode::exportToFolder}}) {
        preferences.setOperationModeRaw(stored);
        EXPECT_EQ(Configuration().operationMode(), mode) << stored;
    }
    using P = CompressionPreset;
    for (const auto& [stored, preset] : {std::pair{"lossless", P::lossless},
                                         {"balanced", P::balanced},
                                         {"maximum", P::maximum},
                                         {"Lossless", P::balanced},
                                         {"MAXIMUM", P::balanced},
                                         {"", P::balanced}}) {
        preferences.setCompressionPresetRaw(stored);
        EXPECT_EQ(preferences.compressionPreset(), preset) << stored;
    }
}

// Writes reach the store before they are announced; the configuration is
// seeded once and announces only changes.
TEST_F(Settings, WritesReachTheStoreFirstAndOnlyChangesAreAnnounced)
{
    preferences.setOperationModeRaw("optimizeOriginals");
    preferences.setExportPath("/srv/out");
    Configuration configuration;
    QStringList seen;
    QObject context;
    QObject::connect(&preferences, &UserPreferences::exportPathChanged, &context,
                     [&] { seen << store().string(UserPreferences::exportPathKey); });
    QObject::connect(&preferences, &UserPreferences::warnBeforeReplacingChanged, &context,
                     [&] { seen << QString::number(store().boolean(UserPreferences::warnBeforeReplacingKey, true)); });
    for (int twice = 0; twice < 2; ++twice) {
        preferences.setExportPath("/srv/photos");
        preferences.setWarnBeforeReplacing(false);
    }
    EXPECT_EQ(seen, QStringList({"/srv/photos", "0"}));
    EXPECT_FALSE(preferences.warnBeforeReplacing());
    EXPECT_EQ(configuration.operationMode(), Configuration::OperationMode::optimizeOriginals);
    EXPECT_EQ(configuration.exportPath(), "/srv/out");
    // Another writer of the store is seen at the next read.
    store().setValue(UserPreferences::compressionPresetKey, "maximum");
    EXPECT_EQ(preferences.compressionPreset(), CompressionPreset::maximum);

    int announced = 0;
    QObject::connect(&configuration, &Configuration::exportPathChanged, [&] { ++announced; });
    QObject::connect(&configuration, &Configuration::operationModeChanged, [&] { ++announced; });
    for (const auto& [path, mode] : {std::pair{"/srv/out", Configuration::OperationMode::optimizeOriginals},
                                     {"/srv/new", Configuration::OperationMode::exportToFolder}}) {
        configuration.setExportPath(path);
        configuration.setOperationMode(mode);
    }
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
    QObject context;
    QObject::connect(&preferences, &UserPreferences::exportPathChanged, &context, [&] {
        steps << QStringLiteral("preference, configuration has %1").arg(configuration.exportPath());
    });
    QObject::connect(&configuration, &Configuration::exportPathChanged, [&] {
        steps << QStringLiteral("configuration, bookmark %1").arg(hasBookmark() ? "saved" : "absent");
    });
    applyChosenExportFolder(chosen, configuration, true);
    QObject::disconnect(&preferences, nullptr, &context, nullptr);
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

// Watched folders keep their order and settings; entries written by hand read
// as the main settings do (only the exact mode replaces, unknown presets balance).
TEST_F(Settings, WatchedFoldersReadAsTheMainSettings)
{
    EXPECT_TRUE(preferences.watchedFolders().isEmpty());
    EXPECT_FALSE(preferences.watchingPaused());
    const QList<WatchedFolder> folders{{"/srv/b", false, "maximum"}, {"/srv/a", true, "lossless"}};
    preferences.setWatchedFolders(folders);
    preferences.setWatchingPaused(true);
    EXPECT_EQ(preferences.watchedFolders(), folders);
    EXPECT_TRUE(preferences.watchingPaused());
    store().setValue(UserPreferences::watchedFoldersKey,
                     QString::fromUtf8(
                         R"([{"path":"/x","mode":"optimizeoriginals","preset":"Maximum"},{"mode":"optimizeOriginals"},)"
                         R"({"path":"/y","mode":"optimizeOriginals"}])"));
    EXPECT_EQ(preferences.watchedFolders(),
              (QList<WatchedFolder>{{"/x", true, "balanced"}, {"/y", false, "balanced"}}));
    store().setValue(UserPreferences::watchedFoldersKey, QStringLiteral("not json"));
    EXPECT_TRUE(preferences.watchedFolders().isEmpty());
}
