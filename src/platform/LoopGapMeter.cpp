// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LoopGapMeter.h"

#include <algorithm>
#include <ctime>

LoopGapMeter::LoopGapMeter(int tickMilliseconds)
{
    clock_.start();
    lastCpu_ = threadCpuMicroseconds();
    timer_.callOnTimeout([this] {
        const qint64 now = clock_.elapsed();
        const qint64 cpu = threadCpuMicroseconds();
        longest_ = std::max(longest_, now - last_);
        longestBusy_ = std::max(longestBusy_, (cpu - lastCpu_) / 1000);
        last_ = now;
        lastCpu_ = cpu;
    });
    timer_.start(tickMilliseconds);
}

qint64 LoopGapMeter::threadCpuMicroseconds()
{
    timespec spent{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &spent);
    return qint64(spent.tv_sec) * 1'000'000 + spent.tv_nsec / 1000;
}
