// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QTimer>

// How long the event loop was kept from turning: the longest wait between
// ticks of a fast timer, from creation on. A window freezes for as long.
// On a busy machine much of a wait can be other programs' turn; the busy
// figure counts only the processor time this thread spent in it.
class LoopGapMeter {
public:
    explicit LoopGapMeter(int tickMilliseconds = 5);
    qint64 longestMilliseconds() const { return longest_; }
    qint64 longestBusyMilliseconds() const { return longestBusy_; }

private:
    static qint64 threadCpuMicroseconds();

    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 lastCpu_ = 0;
    qint64 longest_ = 0;
    qint64 longestBusy_ = 0;
};
