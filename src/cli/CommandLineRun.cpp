// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLineRun.h"

#include "cli/FolderWatchRun.h"
#include "cli/ResultLine.h"
#include "cli/RunReport.h"
#include "cli/SignalWatcher.h"
#include "cli/TerminalText.h"
#include "jobs/Configuration.h"
#include "jobs/ImageFileCollector.h"
#include "jobs/JobQueue.h"
#include "jobs/ReplacementJournal.h"
#include "jobs/UserPreferences.h"
#include "platform/EventLoop.h"
#include "platform/KeyValueStore.h"
#include "platform/LaunchArgument.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "workers/MissingTools.h"
#include "workers/RunningTools.h"
#include "workers/TemporaryFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLoggingCategory>

#include <cstdio>
#include <cstring>

namespace {
void printError(const QString& message)
{
    std::fprintf(stderr, "pressly: %s\n", qPrintable(message));
}
} // namespace

CommandLineRun::CommandLineRun(CommandLineOptions options) : options_(std::move(options))
{
}

CommandLineRun::~CommandLineRun()
{
    Log::setSink({});
}

QString CommandLineRun::applySettings(Configuration& configuration) const
{
    if (options_.preset)
        KeyValueStore::standard().overrideForThisRun(UserPreferences::compressionPresetKey, *options_.preset);
    if (options_.mode == CommandLineOptions::Mode::inPlace)
        configuration.setOperationMode(Configuration::OperationMode::optimizeOriginals);
    if (options_.mode == CommandLineOptions::Mode::exportTo) {
        configuration.setOperationMode(Configuration::OperationMode::exportToFolder);
        configuration.setExportPath(QFileInfo(options_.exportDir).absoluteFilePath());
    }
    const bool exporting = configuration.operationMode() == Configuration::OperationMode::exportToFolder;
    const bool storedWatch = options_.watch && options_.paths.isEmpty();
    if (exporting && !storedWatch && configuration.exportPath().isEmpty()
        && UserPreferences::shared().exportPath().isEmpty())
        return QCoreApplication::translate("CommandLineRun",
                                           "no export folder is set: pass --export DIR to write copies there, "
                                           "or --in-place to replace the originals");
    return {};
}

std::optional<int> CommandLineRun::refuseStoredWatch() const
{
    if (!options_.watch || !options_.paths.isEmpty())
        return std::nullopt;
    // Paused: a service started at login stays stopped, as the window's watching does.
    if (UserPreferences::shared().watchingPaused()) {
        printError(QCoreApplication::translate("CommandLineRun",
                                               "watching is paused in the settings; nothing to do until it resumes"));
        return 0;
    }
    if (UserPreferences::shared().watchedFolders().isEmpty()) {
        printError(QCoreApplication::translate("CommandLineRun",
                                               "no watched folders in the settings: add them in the window's "
                                               "settings, or name folders: pressly --watch DIR..."));
        return 2;
    }
    return std::nullopt;
}

QList<QUrl> CommandLineRun::collect()
{
    QList<QUrl> urls;
    QSet<QString> seen;
    for (const QString& path : options_.paths) {
        const LaunchArgument::Resolved named = LaunchArgument::resolve(path);
        if (!named.refusal.isEmpty()) {
            std::fprintf(stderr, "pressly: %s\n", qPrintable(TerminalText::withoutControls(named.refusal)));
            ++unusablePaths_;
            continue;
        }
        const QFileInfo info(named.path);
        const bool missing = !info.exists() && !info.isSymLink();
        // Qt reads the command line as UTF-8: other bytes in a name cannot be told apart.
        if (missing && path.contains(QChar::ReplacementCharacter))
            printError(
                QCoreApplication::translate(
                    "CommandLineRun", "%1: the name is not valid UTF-8, which this program cannot open; rename it")
                    .arg(TerminalText::quoted(path)));
        else if (missing)
            printError(QCoreApplication::translate("CommandLineRun", "%1: no such file or folder")
                           .arg(TerminalText::quoted(path)));
        QStringList skipped;
        const auto found = collectImageURLs({QUrl::fromLocalFile(info.absoluteFilePath())}, &skipped);
        for (const QString& line : std::as_const(skipped))
            std::fprintf(stderr, "pressly: %s\n", qPrintable(TerminalText::withoutControls(line)));
        skippedInFolders_ += int(skipped.size());
        if (found.isEmpty() && info.isFile())
            printError(QCoreApplication::translate("CommandLineRun",
                                                   "%1: not a supported image (png, jpg, gif, svg, webp, heic, dng)")
                           .arg(TerminalText::quoted(path)));
        // A named image that is missing still becomes a failed job; anything
        // else named in vain must not end the run as a success either.
        if (found.isEmpty() && (missing || info.isFile()))
            ++unusablePaths_;
        // A file named twice (or inside two folders named) is optimized and counted once.
        for (const QUrl& url : found) {
            const QFileInfo file(url.toLocalFile());
            const QString key = file.canonicalFilePath().isEmpty() ? file.absoluteFilePath() : file.canonicalFilePath();
            if (!seen.contains(key)) {
                seen.insert(key);
                urls.append(url);
            }
        }
    }
    return urls;
}

void CommandLineRun::printLine(const QString& line, bool toStandardError)
{
    progress_.clear();
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), toStandardError ? stderr : stdout);
    std::fflush(toStandardError ? stderr : stdout);
    progress_.redraw();
}

void CommandLineRun::routeLogLines()
{
    // What the tools and the engine do only when asked for; QT_LOGGING_RULES
    // still has the last word.
    if (options_.verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("pressly.*.info=true"));
    // The terminal's line belongs to the event-loop thread, where the sink is called.
    Log::setSink([this](QtMsgType, const QString& line) {
        if (!options_.quiet)
            printLine(line, options_.json);
    });
    // A missing tool is worth one line per run, not one per file.
    QObject::connect(
        &MissingTools::shared(), &MissingTools::missing, &lineContext_,
        [this](const QString& tool) {
            if (options_.quiet || missingToolsReported_.contains(tool))
                return;
            missingToolsReported_.insert(tool);
            printLine(QStringLiteral("%1 is not installed").arg(tool), options_.json);
        },
        Qt::QueuedConnection);
}

void CommandLineRun::watch(JobQueue& queue)
{
    QObject::connect(&queue, &JobQueue::jobsAdded, &queue, [this, &queue](int first, int last) {
        for (int index = first; index <= last; ++index)
            watch(*queue.jobs().at(index));
    });
}

void CommandLineRun::watch(OptimizationJob& job)
{
    ++total_;
    if (isFinal(job.status()))
        jobFinished(job);
    QObject::connect(&job, &OptimizationJob::statusChanged, &job, [this, raw = &job] {
        if (raw->status() == JobStatus::processing)
            progress_.update(done_, total_, raw->fileName());
        else if (isFinal(raw->status()))
            jobFinished(*raw);
    });
}

void CommandLineRun::jobFinished(const OptimizationJob& job)
{
    ++done_;
    if (options_.json)
        printLine(QString::fromUtf8(QJsonDocument(RunReport::jobJson(job)).toJson(QJsonDocument::Compact)), false);
    else if (!options_.quiet)
        printLine(ResultLine(ResultLine::colourWanted(stdout)).text(job), false);
    progress_.update(done_, total_, job.fileName());
}

QCoro::Task<int> CommandLineRun::run()
{
    QElapsedTimer clock;
    clock.start();
    if (const auto status = refuseStoredWatch())
        co_return *status;
    Configuration configuration;
    if (const QString error = applySettings(configuration); !error.isEmpty()) {
        std::fprintf(stderr, "pressly: %s\n", qPrintable(error));
        co_return 2;
    }
    routeLogLines();
    // Replacements an earlier run was cut off in finish first, wherever they are,
    // and the copies of images a killed run left go.
    ReplacementJournal().recoverInterrupted();
    TemporaryFiles::removeStale(Paths::temporaryDir());
    SignalWatcher signalWatcher;
    JobQueue queue(configuration, options_.jobs);
    if (options_.noCache)
        queue.disableResultsCache();
    watch(queue);
    QObject::connect(&signalWatcher, &SignalWatcher::received, &queue,
                     [this, &queue](int signal, int count) { stop(queue, signal, count); });

    if (options_.watch) {
        FolderWatchRun watching(queue, options_.settle,
                                [this](const QString& line) { printLine(QStringLiteral("pressly: ") + line, true); });
        if (options_.paths.isEmpty())
            watching.startStored(KeyValueStore::standard().fileName());
        else if (const QString error = watching.start(options_.paths); !error.isEmpty()) {
            printError(error);
            co_return 2;
        }
        // Reported jobs leave the queue, so that a long watch keeps flat memory.
        QObject::connect(&queue, &JobQueue::batchFinished, &watching, [this, &queue] {
            for (const auto& job : queue.takeFinishedJobs())
                dropped_.add(*job);
        });
        watching_ = &watching;
        co_await watching.untilStopped();
        watching_ = nullptr;
        co_await queue.waitUntilIdle();
    } else if (const QList<QUrl> urls = collect(); !urls.isEmpty()) {
        queue.addFiles(urls);
        co_await queue.waitUntilIdle();
    }
    // A stopped run never starts the rest: each says so, as the stopped ones do.
    for (const auto& job : queue.jobs())
        if (job->status() == JobStatus::pending)
            job->cancel();
    co_await EventLoop::afterPostedEvents();
    progress_.finish();
    // Nothing of ours stays in the temporary directory, whatever ended the run.
    TemporaryFiles::removeAll();

    RunReport report = dropped_;
    for (const auto& job : queue.jobs())
        report.add(*job);
    report.setSeconds(double(clock.elapsed()) / 1000.0);
    report.setSkippedInFolders(skippedInFolders_);
    if (options_.json)
        printLine(QString::fromUtf8(QJsonDocument(report.summaryJson()).toJson(QJsonDocument::Compact)), false);
    else
        printLine(report.summaryText(), false);
    if (signalWatcher.firstSignal())
        co_return signalWatcher.exitStatus();
    co_return report.anyFailed() || unusablePaths_ > 0 ? 1 : 0;
}

// The first signal cancels the batch: tools are asked to stop, a replacement
// under way finishes or is undone, and the working files go. Later ones kill
// the tools at once, but still never cut a replacement short.
void CommandLineRun::stop(JobQueue& queue, int signal, int count)
{
    if (count == 1) {
        printLine(QCoreApplication::translate("CommandLineRun",
                                              "pressly: stopping (%1); press again to stop the tools at once")
                      .arg(QStringLiteral("SIG") + QString::fromUtf8(sigabbrev_np(signal))),
                  true);
        if (watching_)
            watching_->stop();
        queue.cancelProcessing();
        return;
    }
    RunningTools::shared().stopAll(QCoreApplication::translate("CommandLineRun", "Stopped by a signal"),
                                   std::chrono::milliseconds(0));
}
