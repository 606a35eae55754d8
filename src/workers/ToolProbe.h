// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoroTask>
#include <QString>

#include <functional>

// The answer of a tool's test run, asked once per process for each tool file:
// every job after the first reuses it, and callers that ask while the first
// run is under way wait for its answer. A tool file that is replaced (another
// inode, size or time) is asked again. Thread-safe.
class ToolProbe {
public:
    struct Answer {
        bool started = false;
        QString startError; // why it could not be started
        int exitCode = 0;
    };
    using Run = std::function<QCoro::Task<Answer>()>;

    static QCoro::Task<Answer> ask(QString toolPath, Run run);

private:
    static QString keyOf(const QString& toolPath);
};
