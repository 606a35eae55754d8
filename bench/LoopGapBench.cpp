// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the engine as the window does, on the thread of its event loop, over
// a folder, and reports the longest time the loop could not turn. With
// --watch-from SOURCE the folder is watched instead, and SOURCE's files are
// copied into it at once from another thread.
#include "jobs/Configuration.h"
#include "jobs/FolderWatchFeed.h"
#include "jobs/JobQueue.h"
#include "platform/KeyValueStore.h"
#include "platform/LoopGapMeter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>

#include <QCoroFuture>
#include <QCoroTimer>

#include <chrono>
#include <cstdio>
#include <dlfcn.h>
#include <filesystem>

namespace {

// With `intakeOnly` the batch is shut down once every job has joined: a
// drop of many files is measured for its walk and job creation.
QCoro::Task<> runAll(JobQueue& queue, QList<QUrl> items, bool intakeOnly)
{
    co_await queue.addItems(std::move(items));
    if (intakeOnly)
        co_await queue.shutdown();
    co_await queue.waitUntilIdle();
}

// Done once every copied file has been through the queue, in however many bursts.
QCoro::Task<> watchAll(JobQueue& queue, const QString& folder, const QString& source)
{
    FolderWatchFeed feed(queue, std::chrono::milliseconds(200));
    if (!feed.addRoot(folder))
        co_return;
    const QStringList names = QDir(source).entryList(QDir::Files);
    int handled = 0;
    QObject::connect(&feed, &FolderWatchFeed::burstFinished, [&](int images, qint64) { handled += images; });
    // Written in place under their own names, as a file manager's copy is.
    auto copy = [=] {
        for (const QString& name : names)
            std::filesystem::copy_file(QFile::encodeName(QDir(source).filePath(name)).toStdString(),
                                       QFile::encodeName(QDir(folder).filePath(name)).toStdString());
    };
    const QFuture<void> copying = QtConcurrent::run(copy);
    while (handled < names.size())
        co_await QCoro::sleepFor(std::chrono::milliseconds(50));
    co_await qCoro(copying).waitForFinished();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(
            stderr,
            "usage: pressly_loopgap FOLDER [--export DIR] [--jobs N] [--intake-only 1] [--watch-from SOURCE]\n");
        return 2;
    }
    // Not in the temporary folder, which may be on the slow disk of a run.
    KeyValueStore::useFile(QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                               .filePath("pressly-loopgap-settings.ini"));
    // Under the slow-disk library: how often the loop's thread waited on it.
    using Counter = int (*)();
    const auto diskWaits = reinterpret_cast<Counter>(dlsym(RTLD_DEFAULT, "pressly_slow_disk_main_thread_calls"));
    Configuration configuration;
    configuration.setOperationMode(Configuration::OperationMode::optimizeOriginals);
    std::optional<int> jobs;
    bool intakeOnly = false;
    QString watchFrom;
    for (qsizetype i = 2; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--export")) {
            configuration.setOperationMode(Configuration::OperationMode::exportToFolder);
            configuration.setExportPath(QDir(args[i + 1]).absolutePath());
        } else if (args[i] == QLatin1String("--jobs")) {
            jobs = args[i + 1].toInt();
        } else if (args[i] == QLatin1String("--watch-from")) {
            watchFrom = QDir(args[i + 1]).absolutePath();
        } else if (args[i] == QLatin1String("--intake-only")) {
            intakeOnly = args[i + 1] == QLatin1String("1");
        }
    }
    JobQueue queue(configuration, jobs);
    queue.disableResultsCache();
    QElapsedTimer clock;
    int firstJobAt = -1;
    QObject::connect(&queue, &JobQueue::jobsAdded, &queue,
                     [&] { firstJobAt = firstJobAt < 0 ? int(clock.elapsed()) : firstJobAt; });
    LoopGapMeter meter;
    const int waitsBefore = diskWaits ? diskWaits() : 0;
    clock.start();
    const QString folder = QDir(args[1]).absolutePath();
    if (watchFrom.isEmpty())
        QCoro::waitFor(runAll(queue, {QUrl::fromLocalFile(folder)}, intakeOnly));
    else
        QCoro::waitFor(watchAll(queue, folder, watchFrom));
    const int loopDiskWaits = diskWaits ? diskWaits() - waitsBefore : 0;
    QJsonObject report{{"jobs", queue.jobCount()},
                       {"failed", int(queue.failedJobs().size())},
                       {"wall_ms", clock.elapsed()},
                       {"first_job_ms", firstJobAt},
                       {"longest_gap_ms", meter.longestMilliseconds()},
                       {"longest_busy_ms", meter.longestBusyMilliseconds()}};
    if (diskWaits)
        report.insert("loop_disk_waits", loopDiskWaits);
    std::printf("%s\n", QJsonDocument(report).toJson(QJsonDocument::Compact).constData());
    return 0;
}
