#pragma once

#include <QString>
#include <QUrl>

// Names of our files in the per-user temporary directory: "Pressly." + middle
// + "." + a fresh upper-case UUID + "." + extension.
namespace TemporaryFiles {
QUrl makeURL(const QString& middle, const QString& extension);
QString freshUUID();
// Only files directly in the temporary directory whose names begin with
// "Pressly." are ours to delete.
bool isOurs(const QString& path);
// Deletes the file if it is ours; failures are ignored.
void removeIfOurs(const QString& path);
}
