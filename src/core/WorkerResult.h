// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

// The outcome of one job's tool competition.
struct WorkerResult {
    QString toolName; // chained with "+" when lossy tools improved the file first
    QUrl fileURL;
    qint64 fileSize = 0;
};
