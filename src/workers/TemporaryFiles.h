// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoroTask>
#include <QString>
#include <QUrl>

// Our working files live in one private folder (mode 0700) of the per-user
// temporary directory, "Pressly.<pid>.XXXXXX", removed when the process ends.
// Inside it each file is "Pressly." + middle + "." + a fresh upper-case UUID +
// "." + extension.
namespace TemporaryFiles {
QUrl makeURL(const QString& middle, const QString& extension);
QString freshUUID();
// Copies a file to a new path; answers the error's description, empty on
// success. Never replaces a file.
QString copyFile(const QString& from, const QString& to);
// This process's private folder in the current temporary directory, created on
// first use (after removing the folders of processes that are gone). Empty if
// it cannot be created.
QString directory();
// The folder last found by directory() for the current TMPDIR, without
// looking at the disk (for the event loop); directory() when there is none.
QString knownDirectory();
// Only files directly in one of our private folders whose names begin with
// "Pressly." are ours to delete.
bool isOurs(const QString& path);
// Deletes the file if it is ours; failures are ignored.
void removeIfOurs(const QString& path);
// The same, off the calling thread: unlinking a large file may take a while.
void removeLater(const QString& path);
// Answers once every removal asked for so far is done.
QCoro::Task<> removalsDone();
// Removes every private folder of this process with all it holds; for a
// process that is about to exit.
void removeAll();
// Removes the private folders of processes that no longer run; answers how many.
int removeStale(const QString& temporaryRoot);
} // namespace TemporaryFiles
