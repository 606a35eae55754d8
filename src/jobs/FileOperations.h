// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <sys/stat.h>
#include <sys/types.h>

// The file-system steps of output placement, on POSIX calls so that every
// failure carries its reason. Each answers nothing on success or the text of
// the failure, naming the file and why.
namespace FileOperations {
using Failure = std::optional<QString>;

// For tests only, never set by the program: when set, it is asked at each
// named step ("create-temp", "write-temp", "permissions", "flush",
// "close-temp", "journal", "trash", "rename", "sync-folder", "journal-end",
// "restore", "mkdir", "create-copy", "copy", "close-copy") with the file
// concerned, and answers 0 to go on or an errno value for the step to fail
// with. It may also end the process. Set it only while no placement runs.
using FaultHook = std::function<int(const char* step, const QString& path)>;
void setFaultHook(FaultHook hook);
// True, with errno set, when the hook makes this step fail.
bool injectedFault(const char* step, const QString& path);

// What identifies a file's version on disk: a new version, even one written
// in place with its old size and modification time put back, changes at least
// one of these (the change time cannot be set by a program).
struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    bool operator==(const Identity&) const = default;
    // The same version, after a rename (which sets the change time).
    bool sameAfterMove(const Identity& other) const
    {
        return device == other.device && inode == other.inode && size == other.size && modifiedNs == other.modifiedNs;
    }
};
// Nothing when nothing (or no regular file) is at `path`.
std::optional<Identity> identityOf(const QString& path);
Identity identityOf(const struct stat& info);

// Our hidden files beside a user's file: ".Pressly.<pid>.<UUID>.tmp".
QString replacementName(qint64 pid, const QString& uuid);
// Whether `name` is exactly of that pattern.
bool isReplacementName(const QString& name);
// Removes, from `folder`, hidden files of that exact pattern that another
// process left: its process is gone, or the file is over an hour old. (One
// that an interrupted replacement still needs is settled through the
// replacement journal first.) Answers how many were removed.
int removeStaleReplacements(const QString& folder);

// True when anything, even a dangling link, is at `path`.
bool existsAtPath(const QString& path);

// True when `path` itself is a symbolic link.
bool isSymbolicLink(const QString& path);
// The absolute path, without links, of what `path` names; empty when
// something on the way is missing (a dangling link) or loops.
QString resolvedPath(const QString& path);
// How many names (hard links) the file at `path` has; 0 when nothing is there.
qint64 nameCount(const QString& path);
// Why a file with that many names is not replaced.
QString hardLinkReason(qint64 names);

// Creates `path` and every missing parent; succeeds when it is a folder already.
Failure makeDirectoryWithParents(const QString& path);

// Copies `from` into a file that must not exist yet, created with `mode`
// less the umask; a partial copy is removed.
// A failure names the file `shownName` when given (a working file's name
// means nothing to the user).
Failure copyToNewFile(const QString& from, const QString& to, mode_t mode = 0666, const QString& shownName = {});
// The permission bits a copy of the file at `path` is created with, as cp
// gives them: a private original stays private. 0666 when it cannot be read.
mode_t copyMode(const QString& path);

// Writes the bytes of `from` into a new hidden file in the folder of
// `original`, flushed to disk, with the original's permission bits (and owner
// and group where allowed), its access list and its user attributes. Answers
// the new file's path or fails, leaving nothing behind. A file with other
// names (hard links) is refused: a new file would part it from them.
std::optional<QString> writeReplacementBeside(const QString& original, const QString& from, QString* error);

// Renames `from` to `to` unless something is already at `to`; the change of
// the folder is flushed to disk. A failure answers only its reason.
Failure renameWithoutReplacing(const QString& from, const QString& to);

// Moves a file that was just moved to the Trash back to `path`, dropping its
// restore information. A failure answers only its reason.
Failure restoreFromTrash(const QString& pathInTrash, const QString& path);
} // namespace FileOperations
