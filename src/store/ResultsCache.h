// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoroTask>
#include <QString>
#include <QThreadPool>
#include <QUrl>

#include <atomic>
#include <memory>
#include <optional>

struct sqlite3;

// Remembers, across runs, which files were already optimized and how well.
// Entries are keyed by a fingerprint of the file's content and the settings,
// not by its path. Every blocking step (hashing, SQLite) runs on the cache's
// own one-thread pool, so operations run one at a time on one connection.
class ResultsCache {
public:
    struct Entry {
        qint64 originalSize = 0;
        qint64 optimizedSize = 0;
        QString toolName;
    };

    // Uses "results_cache.sqlite" in the application-support folder.
    ResultsCache();
    explicit ResultsCache(QString databasePath);
    ~ResultsCache();
    ResultsCache(const ResultsCache&) = delete;
    ResultsCache& operator=(const ResultsCache&) = delete;

    static ResultsCache& shared();

    // A settings hash that stays the same across runs for the same text.
    static qint64 settingsHash(const QString& presetText);
    // The key of the file at `path` (all of its bytes), computed on the
    // calling thread: 32 lower-case hex digits, or none when the file cannot
    // be read.
    static std::optional<QString> keyForFile(const QString& path, qint64 settingsHash);
    // Time spent reading and hashing files for keys, by all threads of this process.
    static double hashingSeconds();

    QString databasePath() const { return dbPath_; }

    QCoro::Task<std::optional<QString>> cacheKey(QUrl fileURL, qint64 settingsHash);
    QCoro::Task<std::optional<Entry>> lookup(QUrl fileURL, qint64 settingsHash);
    // Best effort; answers whether the entry was written (callers may ignore it).
    QCoro::Task<bool> store(QUrl fileURL, qint64 settingsHash, qint64 originalSize, qint64 optimizedSize,
                            QString toolName);

private:
    // These run on the pool only.
    void setUp();
    std::optional<Entry> lookupNow(const QString& key);
    bool storeNow(const QString& key, qint64 originalSize, qint64 optimizedSize, const QString& toolName);
    // Logs, on the calling thread, a failed open the pool has seen.
    // Held by each call too: a call may end after the cache object is gone.
    using FailureFlag = std::shared_ptr<std::atomic_bool>;
    static void reportOpenFailure(const FailureFlag& failed);

    const QString dbPath_;
    sqlite3* db_ = nullptr;
    bool isSetUp_ = false;
    const FailureFlag openFailed_ = std::make_shared<std::atomic_bool>(false);
    QThreadPool pool_;
};
