// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LoopGapMeter.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

LoopGapMeter::LoopGapMeter(int tickMilliseconds)
{
    clock_.start();
    lastCpu_ = threadCpuMicroseconds();
    lastWait_ = runQueueWaitMicroseconds();
    timer_.callOnTimeout([this] {
        const qint64 now = clock_.elapsed();
        const qint64 cpu = threadCpuMicroseconds();
        const qint64 wait = runQueueWaitMicroseconds();
        longest_ = std::max(longest_, now - last_);
        longestBusy_ = std::max(longestBusy_, (cpu - lastCpu_) / 1000);
        longestOwn_ = std::max(longestOwn_, now - last_ - (wait - lastWait_) / 1000);
        last_ = now;
        lastCpu_ = cpu;
        lastWait_ = wait;
    });
    timer_.start(tickMilliseconds);
}

// The second figure of the thread's scheduler statistics, in nanoseconds; 0
// where the kernel keeps none, which leaves the own figure the whole gap.
qint64 LoopGapMeter::runQueueWaitMicroseconds()
{
    std::FILE* file = std::fopen("/proc/thread-self/schedstat", "re");
    if (!file)
        return 0;
    unsigned long long running = 0, waiting = 0;
    const bool read = std::fscanf(file, "%llu %llu", &running, &waiting) == 2;
    std::fclose(file);
    return read ? qint64(waiting / 1000) : 0;
}

qint64 LoopGapMeter::threadCpuMicroseconds()
{
    timespec spent{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &spent);
    return qint64(spent.tv_sec) * 1'000'000 + spent.tv_nsec / 1000;
}
