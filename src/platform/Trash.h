#pragma once

#include <QString>

// The freedesktop.org Trash: the file leaves its folder and can be restored
// from the Trash with its original location.
namespace Trash {
struct Outcome {
    bool ok = false;
    QString pathInTrash; // may be empty even on success
    QString error;
};
Outcome moveToTrash(const QString& path);
// Whether a Trash that a file at `path` would go to holds an item trashed from there.
bool holdsItemTrashedFrom(const QString& path);
}
