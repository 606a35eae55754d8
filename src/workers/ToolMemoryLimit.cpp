// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/ToolMemoryLimit.h"

#include <algorithm>
#include <limits>

qint64 ToolMemoryLimit::forPixels(qint64 pixels)
{
    const qint64 largest = (std::numeric_limits<qint64>::max() - floorBytes) / bytesPerPixel;
    return floorBytes + std::clamp<qint64>(pixels, 0, largest) * bytesPerPixel;
}

qint64 ToolMemoryLimit::forScriptThreads(int threads)
{
    return floorBytes + std::clamp(threads, 1, 1024) * (qint64(1) << 30);
}
