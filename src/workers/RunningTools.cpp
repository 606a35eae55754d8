// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/RunningTools.h"

#include <QProcess>
#include <QTimer>

#include <signal.h>

namespace {

// Each tool leads its own process group, so anything it started goes with it.
void signalGroup(const QProcess& process, int signal)
{
    const qint64 pid = process.processId();
    if (pid < 2 || process.state() == QProcess::NotRunning)
        return;
    if (::kill(-pid_t(pid), signal) != 0)
        ::kill(pid_t(pid), signal);
}

} // namespace

RunningTools& RunningTools::shared()
{
    static RunningTools tools;
    return tools;
}

void RunningTools::add(QProcess* process, std::function<void(const QString&)> onStop)
{
    running_[process] = std::move(onStop);
}

void RunningTools::remove(QProcess* process)
{
    running_.erase(process);
}

void RunningTools::stopAll(const QString& reason, std::chrono::milliseconds wait)
{
    // Copied: a stopped tool may leave the list while we go through it.
    const auto running = running_;
    for (const auto& [process, onStop] : running) {
        if (onStop)
            onStop(reason);
        stop(*process, wait);
    }
}

void RunningTools::stop(QProcess& process, std::chrono::milliseconds wait)
{
    if (wait.count() <= 0) {
        signalGroup(process, SIGKILL);
        return;
    }
    signalGroup(process, SIGTERM);
    // Tied to the process: nothing fires once it is gone.
    QTimer::singleShot(wait, &process, [&process] { signalGroup(process, SIGKILL); });
}
