#pragma once

#include <QString>

#include <optional>

// The file-system steps of output placement, on POSIX calls so that every
// failure carries its reason. Each answers nothing on success or the text of
// the failure, naming the file and why.
namespace FileOperations {
using Failure = std::optional<QString>;

// True when anything, even a dangling link, is at `path`.
bool existsAtPath(const QString& path);

// Creates `path` and every missing parent; succeeds when it is a folder already.
Failure makeDirectoryWithParents(const QString& path);

// Copies `from` into a file that must not exist yet; a partial copy is removed.
Failure copyToNewFile(const QString& from, const QString& to);

// Writes the bytes of `from` into a new hidden file in the folder of
// `original`, flushed to disk, with the original's permission bits (and owner
// and group where allowed). Answers the new file's path or fails, leaving
// nothing behind.
std::optional<QString> writeReplacementBeside(const QString& original, const QString& from, QString* error);

// Renames `from` to `to` unless something is already at `to`; the change of
// the folder is flushed to disk. A failure answers only its reason.
Failure renameWithoutReplacing(const QString& from, const QString& to);

// Moves a file that was just moved to the Trash back to `path`, dropping its
// restore information. A failure answers only its reason.
Failure restoreFromTrash(const QString& pathInTrash, const QString& path);
}
