#include "TestSupport.h"
#include "platform/Log.h"
#include "store/ResultsCache.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QThread>
#include <QCryptographicHash>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <vector>

using namespace TestSupport;

namespace {

QUrl urlOf(const QString& path) { return QUrl::fromLocalFile(path); }

QByteArray littleEndianByHand(qint64 value)
{
    QByteArray bytes;
    const auto bits = quint64(value);
    for (int i = 0; i < 8; ++i)
        bytes.append(char((bits >> (8 * i)) & 0xff));
    return bytes;
}

QString sqliteText(const QString& databasePath, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(databasePath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    QString answer;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        answer = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return answer;
}

// Collects log lines for the life of the object; a front end's sink draws on
// the event-loop thread, so lines must arrive there.
struct LogCapture {
    LogCapture()
    {
        Log::setSink([this](const QString& line) {
            lines << line;
            onOtherThreads += QThread::currentThread() != QCoreApplication::instance()->thread() ? 1 : 0;
        });
    }
    ~LogCapture()
    {
        Log::setSink({});
        EXPECT_EQ(onOtherThreads, 0);
    }
    QStringList lines;
    int onOtherThreads = 0;
};

} // namespace

TEST(ResultsCache, KeyIsDigestOfPrefixSizeAndSettings)
{
    QTemporaryDir dir;
    QByteArray content;
    for (int i = 0; i < 70000; ++i)
        content.append(char(i * 7 % 251));
    const QString path = dir.filePath("big.bin");
    writeFile(path, content);

    const qint64 settings = -0x0123456789abcdefLL;
    QByteArray layout = content.left(65536);
    layout += littleEndianByHand(70000);
    layout += littleEndianByHand(settings);
    const QString expected = QString::fromLatin1(QCryptographicHash::hash(layout, QCryptographicHash::Sha256).toHex());

    EXPECT_EQ(ResultsCache::keyForFile(path, settings), expected);
    ResultsCache cache(dir.filePath("cache.sqlite"));
    EXPECT_EQ(QCoro::waitFor(cache.cacheKey(urlOf(path), settings)), expected);

    // Only the first 64 KiB and the size count.
    QByteArray tailChanged = content;
    tailChanged[69999] = char(tailChanged[69999] + 1);
    writeFile(dir.filePath("twin.bin"), tailChanged);
    EXPECT_EQ(ResultsCache::keyForFile(dir.filePath("twin.bin"), settings), expected);

    const QString empty = dir.filePath("empty.bin");
    writeFile(empty, {});
    const QByteArray emptyLayout = littleEndianByHand(0) + littleEndianByHand(7);
    const auto emptyKey = ResultsCache::keyForFile(empty, 7);
    ASSERT_TRUE(emptyKey);
    EXPECT_EQ(*emptyKey, QCryptographicHash::hash(emptyLayout, QCryptographicHash::Sha256).toHex());
    EXPECT_NE(ResultsCache::keyForFile(empty, 8), emptyKey);
    EXPECT_TRUE(QRegularExpression("^[0-9a-f]{64}$").match(*emptyKey).hasMatch());

    EXPECT_FALSE(ResultsCache::keyForFile(dir.filePath("gone.bin"), 7));
    EXPECT_FALSE(ResultsCache::keyForFile(dir.path(), 7)) << "a folder has no key";
    EXPECT_FALSE(QCoro::waitFor(cache.cacheKey(QUrl("https://example.com/a.png"), 7)));
}

TEST(ResultsCache, SettingsHashIsStableAndTellsPresetsApart)
{
    const QByteArray digest = QCryptographicHash::hash("balanced", QCryptographicHash::Sha256);
    qint64 expected = 0;
    for (int i = 7; i >= 0; --i)
        expected = qint64((quint64(expected) << 8) | quint8(digest[i]));
    EXPECT_EQ(ResultsCache::settingsHash("balanced"), expected);
    EXPECT_NE(ResultsCache::settingsHash("lossless"), ResultsCache::settingsHash("maximum"));
}

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
    EXPECT_EQ(entry->originalSize, 1000);
    EXPECT_EQ(entry->optimizedSize, 800);
    EXPECT_EQ(entry->toolName, "oxipng");

    EXPECT_FALSE(QCoro::waitFor(cache.lookup(urlOf(file), ResultsCache::settingsHash("maximum"))));

    const QString moved = copyInto("png/pingus-flag3.png", dir.path(), "elsewhere.png");
    EXPECT_TRUE(QCoro::waitFor(cache.lookup(urlOf(moved), balanced))) << "keyed by content, not path";

    // A later store replaces the entry.
    EXPECT_TRUE(QCoro::waitFor(cache.store(urlOf(file), balanced, 1000, 700, "pngquant + oxipng")));
    entry = QCoro::waitFor(cache.lookup(urlOf(moved), balanced));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->optimizedSize, 700);
    EXPECT_EQ(entry->toolName, "pngquant + oxipng");

    QFile changed(moved);
    ASSERT_TRUE(changed.open(QIODevice::Append));
    changed.write("x");
    changed.close();
    EXPECT_FALSE(QCoro::waitFor(cache.lookup(urlOf(moved), balanced)));

    QFile::remove(file);
    EXPECT_FALSE(QCoro::waitFor(cache.lookup(urlOf(file), balanced)));
    EXPECT_FALSE(QCoro::waitFor(cache.store(urlOf(file), balanced, 1, 1, "x")));

    EXPECT_EQ(sqliteText(dbPath, "SELECT COUNT(*) FROM cache;"), "1");
    EXPECT_EQ(sqliteText(dbPath, "PRAGMA journal_mode;"), "wal");
}

TEST(ResultsCache, EntriesOutliveTheCacheObjectAndPendingWorkFinishes)
{
    QTemporaryDir dir;
    const QString dbPath = dir.filePath("results_cache.sqlite");
    std::vector<QString> files;
    for (int i = 0; i < 12; ++i) {
        files.push_back(dir.filePath(QStringLiteral("f%1.png").arg(i)));
        writeFile(files.back(), QByteArray(100 + i, char('a' + i)));
    }

    std::vector<QCoro::Task<bool>> stores;
    auto cache = std::make_unique<ResultsCache>(dbPath);
    for (qsizetype i = 0; i < qsizetype(files.size()); ++i)
        stores.push_back(cache->store(urlOf(files[i]), 1, 100 + i, 50, "oxipng"));
    cache.reset(); // closes only after the queued work is done
    for (auto& store : stores)
        EXPECT_TRUE(QCoro::waitFor(store));

    ResultsCache reopened(dbPath);
    for (qsizetype i = 0; i < qsizetype(files.size()); ++i) {
        const auto entry = QCoro::waitFor(reopened.lookup(urlOf(files[i]), 1));
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->originalSize, 100 + i);
    }
}

TEST(ResultsCache, ManyConcurrentCallersQueueSafely)
{
    QTemporaryDir dir;
    ResultsCache cache(dir.filePath("results_cache.sqlite"));
    constexpr int count = 40;
    std::vector<QString> files;
    for (int i = 0; i < count; ++i) {
        files.push_back(dir.filePath(QStringLiteral("f%1.jpg").arg(i)));
        writeFile(files.back(), QByteArray::number(i).repeated(1000 + i));
    }

    std::vector<QCoro::Task<bool>> stores;
    std::vector<QCoro::Task<std::optional<ResultsCache::Entry>>> lookups;
    for (int i = 0; i < count; ++i) {
        stores.push_back(cache.store(urlOf(files[i]), 3, i, i / 2, QStringLiteral("tool%1").arg(i)));
        lookups.push_back(cache.lookup(urlOf(files[(i * 7) % count]), 3));
    }
    for (int i = 0; i < count; ++i) {
        EXPECT_TRUE(QCoro::waitFor(stores[i]));
        // Each lookup sees either nothing yet or the whole entry of its own file.
        const auto entry = QCoro::waitFor(lookups[i]);
        if (entry) {
            EXPECT_EQ(entry->toolName, QStringLiteral("tool%1").arg((i * 7) % count));
        }
    }
    for (int i = 0; i < count; ++i) {
        const auto entry = QCoro::waitFor(cache.lookup(urlOf(files[i]), 3));
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->originalSize, i);
        EXPECT_EQ(entry->optimizedSize, i / 2);
    }
}

TEST(ResultsCache, UnusableDatabaseLogsOnceAndLeavesCallsHarmless)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("a.png");
    writeFile(file, "not really a png");

    {
        LogCapture log;
        ResultsCache cache(dir.filePath("no-such-folder/results_cache.sqlite"));
        for (int i = 0; i < 3; ++i) {
            EXPECT_FALSE(QCoro::waitFor(cache.store(urlOf(file), 1, 10, 5, "oxipng")));
            EXPECT_FALSE(QCoro::waitFor(cache.lookup(urlOf(file), 1)));
        }
        EXPECT_EQ(log.lines, QStringList{"Failed to open results cache database"});
    }

    // A file that is not a database counts as a failed open, and is left alone.
    const QString notDatabase = dir.filePath("garbage.sqlite");
    const QByteArray garbage(4096, 'g');
    writeFile(notDatabase, garbage);
    {
        LogCapture log;
        ResultsCache cache(notDatabase);
        EXPECT_FALSE(QCoro::waitFor(cache.store(urlOf(file), 1, 10, 5, "oxipng")));
        EXPECT_FALSE(QCoro::waitFor(cache.lookup(urlOf(file), 1)));
        EXPECT_EQ(log.lines, QStringList{"Failed to open results cache database"});
    }
    EXPECT_EQ(readFile(notDatabase), garbage);
}
