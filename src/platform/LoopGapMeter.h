// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QTimer>

// How long the event loop was kept from turning: the longest wait between
// ticks of a fast timer, from creation on. A window freezes for as long.
// On a busy machine much of a wait can be other programs' turn; the busy
// figure counts only the processor time this thread spent in it, and the own
// figure leaves out the time it waited for a processor (what a slow disk or a
// lock costs stays in).
class LoopGapMeter {
public:
    explicit LoopGapMeter(int tickMilliseconds = 5);
    qint64 longestMilliseconds() const { return longest_; }
    qint64 longestBusyMilliseconds() const { return longestBusy_; }
    qint64 longestOwnMilliseconds() const { return longestOwn_; }

private:
    static qint64 threadCpuMicroseconds();
    static qint64 runQueueWaitMicroseconds();

    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 lastCpu_ = 0;
    qint64 lastWait_ = 0;
    qint64 longest_ = 0;
    qint64 longestBusy_ = 0;
    qint64 longestOwn_ = 0;
};
