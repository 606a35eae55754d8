// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What a finished child process left: its exit status and both streams,
// decoded as UTF-8 (empty when not valid UTF-8, or sent to a file).
struct ProcessResult {
    int exitCode = 0;
    QString output;
    QString error;
};
