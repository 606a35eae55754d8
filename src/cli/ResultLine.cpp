// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ResultLine.h"

#include "cli/TerminalText.h"

#include "jobs/JobQueue.h"
#include "jobs/OptimizationJob.h"
#include "platform/ByteCountFormatter.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

#include <unistd.h>

namespace {
constexpr const char* green = "32";
constexpr const char* red = "31";
constexpr const char* dim = "2";
} // namespace

bool ResultLine::colourWanted(std::FILE* stream)
{
    return ::isatty(::fileno(stream)) == 1 && qEnvironmentVariableIsEmpty("NO_COLOR");
}

QString ResultLine::paint(const QString& text, const char* code) const
{
    if (!colour_)
        return text;
    return QStringLiteral("\033[%1m%2\033[0m").arg(QString::fromLatin1(code), text);
}

// Relative to the current folder when the file is inside it, as a shell user typed it.
QString ResultLine::shownName(const QString& path)
{
    const QString relative = QDir::current().relativeFilePath(path);
    return TerminalText::quoted(relative.startsWith(QStringLiteral("../")) ? path : relative);
}

QString ResultLine::percentSaved(qint64 before, qint64 after)
{
    const double percent = double(before - after) / double(before) * 100.0;
    // A saving below 1% still shows as one, never as "−0%".
    const QString figure = QLocale().toString(percent, 'f', percent < 1.0 ? 1 : 0);
    return QCoreApplication::translate("ResultLine", "(−%1%)").arg(figure);
}

QString ResultLine::text(const OptimizationJob& job) const
{
    const QString name = shownName(job.fileURL().toLocalFile()) + QStringLiteral(": ");
    const QString before = ByteCountFormatter::format(job.originalSize());
    switch (job.status()) {
    case JobStatus::failed:
        // A message may quote a name as it is.
        return name
               + paint(
                   QCoreApplication::translate("ResultLine", "failed: %1")
                       .arg(TerminalText::withoutControls(job.error() ? job.error()->errorDescription() : QString())),
                   red);
    case JobStatus::cancelled:
        return name + paint(QCoreApplication::translate("ResultLine", "cancelled"), red);
    case JobStatus::completed:
        break;
    default:
        return name + job.statusText();
    }
    if (!JobQueue::savedBytes(job))
        return name + before
               + paint(job.isSkippedByCache() ? QCoreApplication::translate("ResultLine", ", already optimized")
                                              : QCoreApplication::translate("ResultLine", ", no smaller version found"),
                       dim);
    const qint64 after = *job.optimizedSize();
    return name + before + QStringLiteral(" → ") + ByteCountFormatter::format(after) + QLatin1Char(' ')
           + paint(percentSaved(job.originalSize(), after), green) + QLatin1Char(' ')
           + paint(job.bestTool().value_or(QString()), dim);
}
