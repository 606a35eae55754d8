// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

// An advisory lock on a file: while a job works on a user's file, two programs (two
// windows, a window and a command-line run, two users) never optimize one file
// at once. Held until destroyed. Blocking: take it off the event loop.
class FileLock {
public:
    enum class Outcome { taken, heldElsewhere, missing, failed };

    // The lock, or nothing with the reason in `outcome`. Readers share theirs
    // (two exports of one file may run at once); a writer's is its own.
    static std::shared_ptr<FileLock> take(const QString& path, bool shared, Outcome* outcome);
    // The same on a lock file of our own, made private to the user if missing.
    static std::shared_ptr<FileLock> takeCreating(const QString& path, Outcome* outcome);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    static std::shared_ptr<FileLock> lock(int descriptor, bool shared, Outcome* outcome);
    explicit FileLock(int descriptor) : descriptor_(descriptor) { }
    int descriptor_ = -1;
};
