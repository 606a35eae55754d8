// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "workers/BaseWorker.h"
#include "workers/IOFile.h"
#include "workers/ProcessResult.h"
#include "workers/ToolMemoryLimit.h"

#include <QStringList>
#include <QUrl>

#include <chrono>
#include <memory>
#include <optional>

class QProcess;

// A worker that runs an external command-line tool.
class BaseCommandWorker : public BaseWorker {
public:
    explicit BaseCommandWorker(QString name);
    ~BaseCommandWorker() override;

    // Writes an optimized version of `input` to `output`. True: an output was
    // written and may be used; false: the tool ran but produced nothing usable.
    // Never changes the input file or the job.
    virtual QCoro::Task<Outcome<bool>> optimizeFile(IOFile::Ptr input, QUrl output);
    // "Pressly." + name + "." + UUID + ".temp" in the temporary directory; nothing is created.
    virtual QUrl makeTempOutputURL() const;

    QProcess* process() const { return process_.get(); }

    // How long one tool run may take: 60 s + 10 s per MB of the file, or
    // PRESSLY_TOOL_TIMEOUT seconds when set.
    static std::chrono::milliseconds timeoutFor(qint64 bytes);

    // How every tool starts: no shell, nice 10 in a process group of its own,
    // at most `addressSpace` bytes of memory, our environment and the working
    // directory its location calls for.
    static void prepareToolProcess(QProcess& process, const QString& executable,
                                   qint64 addressSpace = ToolMemoryLimit::floorBytes);

protected:
    QUrl makeOutputURL() const override;
    QCoro::Task<Outcome<bool>> writeOutput(IOFile::Ptr input, QUrl output) override;

    // Runs one tool to its end on the event-loop thread (nothing blocks): no
    // shell, nice 10, standard input from `input` or /dev/null, both pipes
    // drained while it runs. A non-zero exit is reported in the result; a tool
    // stopped by its time-out or by a cancel fails.
    QCoro::Task<Outcome<ProcessResult>> executeProcess(QString executable, QStringList arguments,
                                                       IOFile::Ptr input = nullptr,
                                                       std::optional<QUrl> output = std::nullopt);

    // The whole optimizeFile of a tool named like this worker that needs
    // nothing but its arguments: a missing tool skips the `kind` ("GIF"), and
    // a non-zero exit fails.
    QCoro::Task<Outcome<bool>> runNamedTool(QString kind, QStringList arguments);
    // Its parts: the tool named like this worker, logged as skipping the
    // `kind` when missing; and a tool's exit status as optimizeFile's answer.
    std::optional<QString> findNamedTool(const QString& kind) const;
    Outcome<bool> answerForExit(int status) const;

private:
    // The size that sets the run's time-out: the tool's input, else the job's file.
    qint64 sizeToTimeFor(const IOFile::Ptr& input) const;

    std::unique_ptr<QProcess> process_;
};
