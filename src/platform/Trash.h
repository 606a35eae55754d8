// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// The freedesktop.org Trash: the file leaves its folder and can be restored
// from the Trash with its original location. A file goes to the home Trash
// ($XDG_DATA_HOME/Trash) when it is on that volume, else to its volume's own
// ($topdir/.Trash/$uid or $topdir/.Trash-$uid); it is never copied across
// volumes. Its restore information is complete on disk before it moves.
namespace Trash {
struct Outcome {
    bool ok = false;
    QString pathInTrash; // may be empty even on success
    QString error;
};
Outcome moveToTrash(const QString& path);

// A path as the Path= key of an info file holds it: its bytes, URL-escaped
// except for "/"; and back.
QByteArray encodePath(const QString& path);
QString decodePath(const QByteArray& encoded);
} // namespace Trash
