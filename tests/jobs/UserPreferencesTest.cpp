#include "TestSupport.h"
#include "jobs/CompressionPreset.h"
#include "jobs/Configuration.h"
#include "jobs/UserPreferences.h"
#include "platform/KeyValueStore.h"

#include <gtest/gtest.h>

namespace {
const QStringList settingKeys{UserPreferences::operationModeKey, UserPreferences::exportPathKey,
                              UserPreferences::warnBeforeReplacingKey, UserPreferences::compressionPresetKey};

void clearSettings()
{
    for (const QString& key : settingKeys)
        KeyValueStore::standard().remove(key);
}
} // namespace

TEST(UserPreferences, FirstRunDefaultsAreReadButNeverStored)
{
    clearSettings();
    auto& preferences = UserPreferences::shared();
    EXPECT_EQ(preferences.operationModeRaw(), "exportToFolder");
    EXPECT_EQ(preferences.exportPath(), "");
    EXPECT_TRUE(preferences.warnBeforeReplacing());
    EXPECT_EQ(preferences.compressionPresetRaw(), "balanced");
    EXPECT_EQ(preferences.compressionPreset(), CompressionPreset::balanced);

    const Configuration configuration;
    EXPECT_EQ(configuration.operationMode(), Configuration::OperationMode::exportToFolder);
    EXPECT_EQ(configuration.exportPath(), "");
    EXPECT_EQ(configuration.resizeImages(), "Original Size");

    for (const QString& key : settingKeys)
        EXPECT_FALSE(KeyValueStore::standard().contains(key)) << key.toStdString();
}

TEST(UserPreferences, OnlyExactRawTextsCount)
{
    clearSettings();
    auto& preferences = UserPreferences::shared();
    const auto modeFor = [&](const QString& stored) {
        preferences.setOperationModeRaw(stored);
        return Configuration().operationMode();
    };
    EXPECT_EQ(modeFor("optimizeOriginals"), Configuration::OperationMode::optimizeOriginals);
    for (const QString other : {"exportToFolder", "", "Optimizeoriginals", "optimizeOriginals "})
        EXPECT_EQ(modeFor(other), Configuration::OperationMode::exportToFolder) << other.toStdString();

    for (const QString raw : {"lossless", "balanced", "maximum"}) {
        preferences.setCompressionPresetRaw(raw);
        EXPECT_EQ(toString(preferences.compressionPreset()), raw);
    }
    for (const QString other : {"Lossless", "MAXIMUM", "", "fast"}) {
        preferences.setCompressionPresetRaw(other);
        EXPECT_EQ(preferences.compressionPreset(), CompressionPreset::balanced) << other.toStdString();
    }
    clearSettings();
}

TEST(UserPreferences, WritesReachTheStoreBeforeTheyAreAnnounced)
{
    clearSettings();
    auto& preferences = UserPreferences::shared();
    QStringList seen;
    const auto a = QObject::connect(&preferences, &UserPreferences::exportPathChanged, [&] {
        seen << KeyValueStore::standard().string(UserPreferences::exportPathKey);
    });
    const auto b = QObject::connect(&preferences, &UserPreferences::warnBeforeReplacingChanged, [&] {
        seen << QString::number(KeyValueStore::standard().boolean(UserPreferences::warnBeforeReplacingKey, true));
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
    KeyValueStore::standard().setValue(UserPreferences::compressionPresetKey, "maximum");
    EXPECT_EQ(preferences.compressionPreset(), CompressionPreset::maximum);
    clearSettings();
}

TEST(Configuration, SeededOnceAndAnnouncesOnlyChanges)
{
    clearSettings();
    auto& preferences = UserPreferences::shared();
    preferences.setOperationModeRaw("optimizeOriginals");
    preferences.setExportPath("/srv/out");
    Configuration configuration;
    EXPECT_EQ(configuration.operationMode(), Configuration::OperationMode::optimizeOriginals);
    EXPECT_EQ(configuration.exportPath(), "/srv/out");

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
    clearSettings();
}
