// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/ResultsCache.h"

#include "platform/BackgroundTask.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/PrivateStorage.h"
#include "store/SqlStatement.h"

#include <QCoroFuture>
#include <QCryptographicHash>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QtEndian>

#include <sqlite3.h>
#include <xxhash.h>

#include <atomic>

namespace {

// Large sequential reads: the whole file is hashed.
constexpr qint64 readChunk = 1 << 20;

const char createTableSQL[] = "CREATE TABLE IF NOT EXISTS cache (\n"
                              "    hash TEXT PRIMARY KEY,\n"
                              "    original_size INTEGER NOT NULL,\n"
                              "    optimized_size INTEGER NOT NULL,\n"
                              "    best_tool TEXT NOT NULL,\n"
                              "    created_at REAL NOT NULL\n"
                              ");";
const char selectSQL[] = "SELECT original_size, optimized_size, best_tool FROM cache WHERE hash = ?;";
const char insertSQL[] = "INSERT OR REPLACE INTO cache (hash, original_size, optimized_size, best_tool, created_at) "
                         "VALUES (?, ?, ?, ?, ?);";

QByteArray littleEndian(qint64 value)
{
    QByteArray bytes(8, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

} // namespace

ResultsCache::ResultsCache() : ResultsCache(Paths::applicationSupportDir() + QStringLiteral("/results_cache.sqlite"))
{
}

ResultsCache::ResultsCache(QString databasePath) : dbPath_(std::move(databasePath))
{
    pool_.setMaxThreadCount(1);
}

ResultsCache::~ResultsCache()
{
    // Queued work still uses the connection: let it finish before closing.
    pool_.waitForDone();
    if (db_)
        sqlite3_close_v2(db_);
}

ResultsCache& ResultsCache::shared()
{
    static ResultsCache instance;
    return instance;
}

qint64 ResultsCache::settingsHash(const QString& presetText)
{
    const QByteArray digest = QCryptographicHash::hash(presetText.toUtf8(), QCryptographicHash::Sha256);
    return qFromLittleEndian<qint64>(digest.constData());
}

namespace {
std::atomic<qint64> hashingNanoseconds{0};
}

double ResultsCache::hashingSeconds()
{
    return double(hashingNanoseconds.load()) / 1e9;
}

std::optional<QString> ResultsCache::keyForFile(const QString& path, qint64 settingsHash)
{
    QElapsedTimer clock;
    clock.start();
    const auto count = qScopeGuard([&clock] { hashingNanoseconds += clock.nsecsElapsed(); });
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Every byte counts: a file changed anywhere, even at its old size, is
    // another file.
    XXH3_state_t* state = XXH3_createState();
    if (!state)
        return std::nullopt;
    const auto freeState = qScopeGuard([state] { XXH3_freeState(state); });
    XXH3_128bits_reset(state);
    QByteArray chunk(readChunk, Qt::Uninitialized);
    qint64 size = 0;
    for (;;) {
        const qint64 got = file.read(chunk.data(), chunk.size());
        // A read error would give the key of bytes that are not the file's.
        if (got < 0 || file.error() != QFileDevice::NoError)
            return std::nullopt;
        if (got == 0)
            break;
        XXH3_128bits_update(state, chunk.constData(), size_t(got));
        size += got;
    }
    const QByteArray tail = littleEndian(size) + littleEndian(settingsHash);
    XXH3_128bits_update(state, tail.constData(), size_t(tail.size()));
    XXH128_canonical_t digest;
    XXH128_canonicalFromHash(&digest, XXH3_128bits_digest(state));
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest.digest), sizeof(digest.digest)).toHex());
}

QCoro::Task<std::optional<QString>> ResultsCache::cacheKey(QUrl fileURL, qint64 settingsHash)
{
    const QString path = fileURL.toLocalFile();
    // g++ 12 destroys the result of `co_return co_await` twice: keep it named.
    auto future = BackgroundTask::run(&pool_, [path, settingsHash] { return keyForFile(path, settingsHash); });
    const std::optional<QString> key = co_await future;
    co_return key;
}

QCoro::Task<std::optional<ResultsCache::Entry>> ResultsCache::lookup(QUrl fileURL, qint64 settingsHash)
{
    const QString path = fileURL.toLocalFile();
    const FailureFlag failed = openFailed_;
    auto future = BackgroundTask::run(&pool_, [this, path, settingsHash]() -> std::optional<Entry> {
        setUp();
        const auto key = keyForFile(path, settingsHash);
        return key ? lookupNow(*key) : std::nullopt;
    });
    const std::optional<Entry> entry = co_await future;
    reportOpenFailure(failed);
    co_return entry;
}

QCoro::Task<bool> ResultsCache::store(QUrl fileURL, qint64 settingsHash, qint64 originalSize, qint64 optimizedSize,
                                      QString toolName)
{
    const QString path = fileURL.toLocalFile();
    const FailureFlag failed = openFailed_;
    auto future = BackgroundTask::run(&pool_, [=, this] {
        setUp();
        const auto key = keyForFile(path, settingsHash);
        return key && storeNow(*key, originalSize, optimizedSize, toolName);
    });
    const bool stored = co_await future;
    reportOpenFailure(failed);
    co_return stored;
}

void ResultsCache::setUp()
{
    if (isSetUp_)
        return;
    isSetUp_ = true;

    const QByteArray path = dbPath_.toUtf8();
    PrivateStorage::makeFile(dbPath_); // its journals take its permissions
    const int opened = sqlite3_open_v2(path.constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (opened == SQLITE_OK) {
        // Another instance of the program may hold the file for a moment.
        sqlite3_busy_timeout(db_, 5000);
        sqlite3_exec(db_, "PRAGMA journal_mode=WAL;", nullptr, nullptr, nullptr);
        // A file that is not a database opens fine and fails here: treat it as
        // a failed open rather than failing every later statement silently.
        if (sqlite3_exec(db_, createTableSQL, nullptr, nullptr, nullptr) == SQLITE_OK)
            return;
    }
    sqlite3_close_v2(db_);
    db_ = nullptr;
    openFailed_->store(true);
}

// On the caller's thread: a log sink may draw on a terminal or a window.
void ResultsCache::reportOpenFailure(const FailureFlag& failed)
{
    if (failed->exchange(false))
        qCWarning(lcStore).noquote() << QStringLiteral("Failed to open results cache database");
}

std::optional<ResultsCache::Entry> ResultsCache::lookupNow(const QString& key)
{
    SqlStatement statement(db_, selectSQL);
    if (!statement || !statement.bindText(1, key))
        return std::nullopt;
    if (sqlite3_step(statement.get()) != SQLITE_ROW)
        return std::nullopt;
    Entry entry;
    entry.originalSize = sqlite3_column_int64(statement.get(), 0);
    entry.optimizedSize = sqlite3_column_int64(statement.get(), 1);
    const auto* tool = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 2));
    entry.toolName = QString::fromUtf8(tool);
    return entry;
}

bool ResultsCache::storeNow(const QString& key, qint64 originalSize, qint64 optimizedSize, const QString& toolName)
{
    SqlStatement statement(db_, insertSQL);
    if (!statement)
        return false;
    sqlite3_stmt* stmt = statement.get();
    const double now = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    const bool bound = statement.bindText(1, key) && sqlite3_bind_int64(stmt, 2, originalSize) == SQLITE_OK
                       && sqlite3_bind_int64(stmt, 3, optimizedSize) == SQLITE_OK && statement.bindText(4, toolName)
                       && sqlite3_bind_double(stmt, 5, now) == SQLITE_OK;
    return bound && sqlite3_step(stmt) == SQLITE_DONE;
}
