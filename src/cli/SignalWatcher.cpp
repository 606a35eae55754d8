// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/SignalWatcher.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace {

constexpr std::array watchedSignals{SIGINT, SIGTERM, SIGHUP};
int pipeEnds[2] = {-1, -1};

// Async-signal-safe: one byte, the signal's number, into the pipe.
void onSignal(int signal)
{
    const int saved = errno;
    const char byte = char(signal);
    [[maybe_unused]] const auto written = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

} // namespace

SignalWatcher::SignalWatcher()
{
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SignalWatcher::readPipe);
    struct sigaction action { };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : watchedSignals)
        ::sigaction(signal, &action, nullptr);
}

SignalWatcher::~SignalWatcher()
{
    struct sigaction action { };
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int signal : watchedSignals)
        ::sigaction(signal, &action, nullptr);
    notifier_.reset();
    for (int& end : pipeEnds) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

void SignalWatcher::readPipe()
{
    char byte = 0;
    while (::read(pipeEnds[0], &byte, 1) == 1) {
        if (!first_)
            first_ = byte;
        emit received(byte, ++count_);
    }
}
