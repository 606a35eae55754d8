// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <sqlite3.h>

// A prepared SQLite statement that is always finalized.
class SqlStatement {
public:
    SqlStatement(sqlite3* db, const char* sql)
    {
        if (db && sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
            sqlite3_finalize(stmt_);
            stmt_ = nullptr;
        }
    }
    ~SqlStatement() { sqlite3_finalize(stmt_); }
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;
    explicit operator bool() const { return stmt_ != nullptr; }
    sqlite3_stmt* get() const { return stmt_; }

    bool bindText(int index, const QString& text)
    {
        const QByteArray utf8 = text.toUtf8();
        return sqlite3_bind_text(stmt_, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) == SQLITE_OK;
    }
    bool bindInt64(int index, qint64 value) { return sqlite3_bind_int64(stmt_, index, value) == SQLITE_OK; }
    bool bindDouble(int index, double value) { return sqlite3_bind_double(stmt_, index, value) == SQLITE_OK; }
    // Runs a statement that answers no rows.
    bool run() { return stmt_ && sqlite3_step(stmt_) == SQLITE_DONE; }

private:
    sqlite3_stmt* stmt_ = nullptr;
};
