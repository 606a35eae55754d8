// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSet>
#include <QStringList>

// Which files some process still holds open for writing, as far as /proc
// shows: other users' processes are hidden from an unprivileged caller.
// Reads every open descriptor of every process once per call.
class OpenForWriting {
public:
    static QSet<QString> among(const QStringList& paths);
};
