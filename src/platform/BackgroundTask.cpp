// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/BackgroundTask.h"

#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

void BackgroundTask::lowerCurrentThread()
{
    thread_local bool lowered = false;
    if (lowered)
        return;
    lowered = true;
    // Linux keeps a nice value per thread; this one's id names it alone.
    const auto thread = static_cast<id_t>(::gettid());
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, thread);
    if (errno == 0 && current < niceValue)
        setpriority(PRIO_PROCESS, thread, niceValue);
}
