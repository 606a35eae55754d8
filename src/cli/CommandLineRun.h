// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/CommandLineOptions.h"
#include "cli/ProgressLine.h"
#include "cli/RunReport.h"

#include <QCoroTask>
#include <QObject>
#include <QSet>
#include <QUrl>

#include <optional>

class Configuration;
class FolderWatchRun;
class JobQueue;
class OptimizationJob;

// One run of `pressly`: the same queue and pipeline as the window, driven by
// the command line. Answers the exit status.
class CommandLineRun {
public:
    explicit CommandLineRun(CommandLineOptions options);
    ~CommandLineRun();

    QCoro::Task<int> run();

private:
    // Applies the run's own settings; answers a usage error, if any.
    QString applySettings(Configuration& configuration) const;
    // For `--watch` without folders: the exit status when there is nothing to watch.
    std::optional<int> refuseStoredWatch() const;
    QList<QUrl> collect();
    void routeLogLines();
    void watch(JobQueue& queue);
    void watch(OptimizationJob& job);
    void jobFinished(const OptimizationJob& job);
    void printLine(const QString& line, bool toStandardError);
    void stop(JobQueue& queue, int signal, int count);

    CommandLineOptions options_;
    ProgressLine progress_;
    QSet<QString> missingToolsReported_;
    int total_ = 0;
    int done_ = 0;
    int unusablePaths_ = 0;
    int skippedInFolders_ = 0;
    FolderWatchRun* watching_ = nullptr;
    // What a long watch has dropped from the queue, once reported.
    RunReport dropped_;
    // Missing tools are told in its thread, and no more once the run is gone.
    QObject lineContext_;
};
