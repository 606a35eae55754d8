#pragma once

#include <QString>

#include <functional>

// Diagnostic lines: one message a line on standard output. `stamped` adds the
// date, time, program name and process id before the message.
// Each line belongs to a logging category, so QT_LOGGING_RULES (or
// QLoggingCategory::setFilterRules) turns it on or off at the info level:
//   pressly.tools    what the tools do (lines that begin with 🔧, 📁, ✅, ❌, …)
//   pressly.results  the "Optimized …" line of each file
//   pressly.engine   the rest: notices a user may need to act on
namespace Log {
void line(const QString& message);
void stamped(const QString& message);

// Tests and front ends may take the lines instead of standard output; the
// sink is called on the application's thread only.
using Sink = std::function<void(const QString&)>;
void setSink(Sink sink);
}
