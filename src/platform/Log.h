// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>
#include <QString>

#include <functional>

// What the program says about its work, one category per subsystem. Info and
// debug lines are off unless QT_LOGGING_RULES (or the command line's
// --verbose) turns them on; warnings are on.
//   pressly.tools      which tool was found and run, and what it said
//   pressly.jobs       the queue, the pipeline and the placement of files
//   pressly.scheduler  the rounds of the tool competition
//   pressly.results    the "Optimized …" line of each file
//   pressly.store      the results cache
//   pressly.vips       libvips' own messages
Q_DECLARE_LOGGING_CATEGORY(lcTools)
Q_DECLARE_LOGGING_CATEGORY(lcJobs)
Q_DECLARE_LOGGING_CATEGORY(lcScheduler)
Q_DECLARE_LOGGING_CATEGORY(lcResults)
Q_DECLARE_LOGGING_CATEGORY(lcStore)
Q_DECLARE_LOGGING_CATEGORY(lcVips)

namespace Log {
// Tests and the command line take the pressly.* lines instead of Qt's message
// handler (standard error); the sink is called on the application's thread
// only. Lines of other categories go on to Qt's handler.
using Sink = std::function<void(QtMsgType, const QString&)>;
void setSink(Sink sink);
} // namespace Log
