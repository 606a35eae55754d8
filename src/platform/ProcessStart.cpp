// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProcessStart.h"

#include "platform/EventLoop.h"

#include <QProcess>

#include <optional>

namespace ProcessStart {

QCoro::Task<bool> started(QProcess& process)
{
    // The first change away from Starting decides: a quick tool may have
    // finished again by the time we resume.
    std::optional<bool> ran;
    EventLoop::Notifier settled;
    QObject context; // the connection goes with this frame
    QObject::connect(&process, &QProcess::stateChanged, &context, [&ran, &settled](QProcess::ProcessState state) {
        if (ran || state == QProcess::Starting)
            return;
        ran = state == QProcess::Running;
        settled.notifyAll();
    });
    if (process.state() != QProcess::Starting)
        co_return process.state() == QProcess::Running;
    while (!ran)
        co_await settled.wait();
    co_return *ran;
}

} // namespace ProcessStart
