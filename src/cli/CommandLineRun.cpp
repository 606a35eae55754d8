#include "cli/CommandLineRun.h"

#include "cli/RunReport.h"
#include "jobs/Configuration.h"
#include "jobs/ImageFileCollector.h"
#include "jobs/JobQueue.h"
#include "jobs/ReplacementJournal.h"
#include "jobs/UserPreferences.h"
#include "platform/KeyValueStore.h"
#include "platform/Log.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>

#include <cstdio>

CommandLineRun::CommandLineRun(CommandLineOptions options) : options_(std::move(options)) {}

CommandLineRun::~CommandLineRun() { Log::setSink({}); }

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
    if (exporting && configuration.exportPath().isEmpty() && UserPreferences::shared().exportPath().isEmpty())
        return QStringLiteral("no export folder is set: pass --export DIR to write copies there, "
                              "or --in-place to replace the originals");
    return {};
}

QList<QUrl> CommandLineRun::collect()
{
    QList<QUrl> urls;
    for (const QString& path : options_.paths) {
        const QFileInfo info(path);
        const bool missing = !info.exists() && !info.isSymLink();
        if (missing)
            std::fprintf(stderr, "pressly: %s: no such file or folder\n", qPrintable(path));
        const auto found = collectImageURLs({QUrl::fromLocalFile(info.absoluteFilePath())});
        if (found.isEmpty() && info.isFile())
            std::fprintf(stderr, "pressly: %s: not a supported image (png, jpg, gif, svg, webp, heic, dng)\n",
                         qPrintable(path));
        // A named image that is missing still becomes a failed job; anything
        // else named in vain must not end the run as a success either.
        if (found.isEmpty() && (missing || info.isFile()))
            ++unusablePaths_;
        urls += found;
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
    Log::setSink([this](const QString& line) {
        if (options_.quiet)
            return;
        // A missing tool is worth one line per run, not one per file.
        if (line.startsWith(QStringLiteral("❌ ")) && line.endsWith(QStringLiteral(" not found in bundle or system"))) {
            if (missingToolsReported_.contains(line))
                return;
            missingToolsReported_.insert(line);
        }
        printLine(line, options_.json);
    });
}

void CommandLineRun::watch(JobQueue& queue)
{
    QObject::connect(&queue, &JobQueue::jobAdded, &queue, [this, &queue](int index) {
        const auto job = queue.jobs().at(index);
        ++total_;
        if (isFinal(job->status()))
            jobFinished(*job);
        QObject::connect(job.get(), &OptimizationJob::statusChanged, job.get(), [this, raw = job.get()] {
            if (raw->status() == JobStatus::processing)
                progress_.update(done_, total_, raw->fileName());
            else if (isFinal(raw->status()))
                jobFinished(*raw);
        });
    });
}

void CommandLineRun::jobFinished(const OptimizationJob& job)
{
    ++done_;
    if (options_.json)
        printLine(QString::fromUtf8(QJsonDocument(RunReport::jobJson(job)).toJson(QJsonDocument::Compact)), false);
    else if (job.status() == JobStatus::failed && !options_.quiet)
        printLine(QStringLiteral("Failed: %1: %2").arg(job.fileURL().toLocalFile(), job.error()->errorDescription()),
                  true);
    progress_.update(done_, total_, job.fileName());
}

QCoro::Task<int> CommandLineRun::run()
{
    QElapsedTimer clock;
    clock.start();
    Configuration configuration;
    if (const QString error = applySettings(configuration); !error.isEmpty()) {
        std::fprintf(stderr, "pressly: %s\n", qPrintable(error));
        co_return 2;
    }
    routeLogLines();
    // Replacements an earlier run was cut off in finish first, wherever they are.
    ReplacementJournal().recoverInterrupted();
    JobQueue queue(configuration, options_.jobs);
    if (options_.noCache)
        queue.disableResultsCache();
    watch(queue);

    const QList<QUrl> urls = collect();
    if (!urls.isEmpty()) {
        queue.addFiles(urls);
        co_await queue.waitUntilIdle();
    }
    progress_.finish();

    const RunReport report(queue.jobs(), double(clock.elapsed()) / 1000.0);
    if (options_.json)
        printLine(QString::fromUtf8(QJsonDocument(report.summaryJson()).toJson(QJsonDocument::Compact)), false);
    else
        printLine(report.summaryText(), false);
    co_return report.anyFailed() || unusablePaths_ > 0 ? 1 : 0;
}
