// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <chrono>
#include <functional>
#include <map>

class QProcess;

// The tools this process is running, so that a cancelled batch or a signal can
// stop them instead of waiting for them. Event-loop thread only.
class RunningTools {
public:
    // How long a tool may take to exit after being asked to, before it is killed.
    static constexpr std::chrono::milliseconds grace{2000};

    static RunningTools& shared();

    // `onStop` runs before the tool is asked to stop, with the reason.
    void add(QProcess* process, std::function<void(const QString&)> onStop);
    void remove(QProcess* process);
    int count() const { return int(running_.size()); }

    // Asks every running tool to exit, and kills what still runs after `wait`.
    void stopAll(const QString& reason, std::chrono::milliseconds wait = grace);

    // Terminates the tool's process group, then kills it after `wait`.
    static void stop(QProcess& process, std::chrono::milliseconds wait);

private:
    std::map<QProcess*, std::function<void(const QString&)>> running_;
};
