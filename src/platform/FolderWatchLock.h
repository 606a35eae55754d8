// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileLock.h"

#include <QString>

#include <memory>

// Who watches a folder: the window or the background service, never both.
// A lock on a file under the user's runtime folder ($XDG_RUNTIME_DIR, else the
// cache folder), named by the folder's
// canonical path; held until destroyed, dropped by the kernel when the
// holder dies. Never waits.
class FolderWatchLock {
public:
    // The lock, or nothing when another process (or another instance) holds it.
    static std::unique_ptr<FolderWatchLock> take(const QString& folder);
    static QString lockFileFor(const QString& folder);

private:
    explicit FolderWatchLock(std::shared_ptr<FileLock> file) : file_(std::move(file)) { }
    std::shared_ptr<FileLock> file_;
};
