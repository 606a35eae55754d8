// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

// An advisory lock on a user's file while a job works on it: two programs (two
// windows, a window and a command-line run, two users) never optimize one file
// at once. Held until destroyed. Blocking: take it off the event loop.
class FileLock {
public:
    enum class Outcome { taken, heldElsewhere, missing, failed };

    // The lock, or nothing with the reason in `outcome`. Readers share theirs
    // (two exports of one file may run at once); a writer's is its own.
    static std::shared_ptr<FileLock> take(const QString& path, bool shared, Outcome* outcome);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    explicit FileLock(int descriptor) : descriptor_(descriptor) { }
    int descriptor_ = -1;
};
