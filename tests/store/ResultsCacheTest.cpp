// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/ResultsCache.h"
#include "TestSupport.h"

#include <QCoroTask>

#include <memory>
#include <vector>

using namespace TestSupport;

namespace {

QUrl urlOf(const QString& path)
{
    return QUrl::fromLocalFile(path);
}

} // namespace

TEST(ResultsCache, StoresAndFindsByContentAndPreset)
{
    QTemporaryDir dir;
    const QString dbPath = dir.filePath("results_cache.sqlite");
    const QString file = copyInto("png/pingus-flag3.png", dir.path());
    const qint64 balanced = ResultsCache::settingsHash("balanced");
    ResultsCache cache(dbPath);

    EXPECT_FALSE(QCoro::waitFor(cache.lookup(urlOf(file), balanced))) << "never stored";
    EXPECT_TRUE(QCoro::waitFor(cache.store(urlOf(file), balanced, 1000, 800, "oxipng")));
    auto entry = QCoro::waitFor(cache.lookup(urlOf(file), balanced));
    ASSERT_TRUE(entry);
    EXPECT_EQ(std::tuple(entry->originalSize, entry->optimizedSize, entry->toolName), std::tuple(1000, 800, "oxipng"));

    EXPECT_FALSE(QCoro::waitFor(cache.lookup(urlOf(file), ResultsCache::settingsHash("maximum"))));

    const QString moved = copyInto("png/pingus-flag3.png", dir.path(), "elsewhere.png");
    EXPECT_TRUE(QCoro::waitFor(cache.lookup(urlOf(moved), balanced))) << "keyed by content, not path";

    // A later store replaces the entry.
    EXPECT_TRUE(QCoro::waitFor(cache.store(urlOf(file), balanced, 1000, 700, "pngquant + oxipng")));
    entry = QCoro::waitFor(cache.lookup(urlOf(moved), balanced));
    ASSERT_TRUE(entry);
    EXPECT_EQ(std::tuple(entry->optimizedSize, entry->toolName), std::tuple(700, "pngquant + oxipng"));

    // A change anywhere, at the same size, is another file.
    QByteArray large(200'000, 'a');
    writeFile(moved, large);
    EXPECT_TRUE(QCoro::waitFor(cache.store(urlOf(moved), balanced, 1, 1, "x")));
    large[137'027] = 'b';
    writeFile(moved, large);
    EXPECT_FALSE(QCoro::waitFor(cache.lookup(urlOf(moved), balanced)));

    QFile::remove(file);
    EXPECT_FALSE(QCoro::waitFor(cache.lookup(urlOf(file), balanced)));
    EXPECT_FALSE(QCoro::waitFor(cache.store(urlOf(file), balanced, 1, 1, "x")));

    EXPECT_FALSE(QCoro::waitFor(cache.lookup(urlOf(dir.path()), balanced))) << "a folder has no key";
    EXPECT_FALSE(QCoro::waitFor(cache.cacheKey(QUrl("https://example.com/a.png"), balanced)));
    EXPECT_TRUE(QFileInfo::exists(dbPath + "-wal")) << "write-ahead logging";
}

TEST(ResultsCache, ConcurrentCallersQueueSafelyAndEntriesOutliveTheCacheObject)
{
    QTemporaryDir dir;
    const QString dbPath = dir.filePath("results_cache.sqlite");
    constexpr int count = 40;
    std::vector<QString> files;
    for (int i = 0; i < count; ++i) {
        files.push_back(dir.filePath(QStringLiteral("f%1.jpg").arg(i)));
        writeFile(files.back(), QByteArray::number(i).repeated(1000 + i));
    }
    std::vector<QCoro::Task<bool>> stores;
    std::vector<QCoro::Task<std::optional<ResultsCache::Entry>>> lookups;
    auto cache = std::make_unique<ResultsCache>(dbPath);
    for (int i = 0; i < count; ++i) {
        stores.push_back(cache->store(urlOf(files[i]), 3, i, i / 2, QStringLiteral("tool%1").arg(i)));
        lookups.push_back(cache->lookup(urlOf(files[(i * 7) % count]), 3));
    }
    cache.reset(); // closes only after the queued work is done
    for (int i = 0; i < count; ++i) {
        EXPECT_TRUE(QCoro::waitFor(stores[i]));
        // Each lookup sees either nothing yet or the whole entry of its own file.
        const auto entry = QCoro::waitFor(lookups[i]);
        if (entry) {
            EXPECT_EQ(entry->toolName, QStringLiteral("tool%1").arg((i * 7) % count));
        }
    }
    ResultsCache reopened(dbPath);
    for (int i = 0; i < count; ++i) {
        const auto entry = QCoro::waitFor(reopened.lookup(urlOf(files[i]), 3));
        ASSERT_TRUE(entry);
        EXPECT_EQ(std::pair(entry->originalSize, entry->optimizedSize), (std::pair<qint64, qint64>(i, i / 2)));
    }
}

TEST(ResultsCache, UnusableDatabaseLogsOnceAndLeavesCallsHarmless)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("a.png");
    writeFile(file, "not really a png");

    // A file that is not a database counts as a failed open, and is left alone.
    const QString notDatabase = dir.filePath("garbage.sqlite");
    const QByteArray garbage(4096, 'g');
    writeFile(notDatabase, garbage);
    for (const QString& database : {dir.filePath("no-such-folder/results_cache.sqlite"), notDatabase}) {
        LogCapture log;
        ResultsCache cache(database);
        for (int i = 0; i < 3; ++i) {
            EXPECT_FALSE(QCoro::waitFor(cache.store(urlOf(file), 1, 10, 5, "oxipng")));
            EXPECT_FALSE(QCoro::waitFor(cache.lookup(urlOf(file), 1)));
        }
        EXPECT_EQ(log.lines(), QStringList{"Failed to open results cache database"});
    }
    EXPECT_EQ(readFile(notDatabase), garbage);
}
