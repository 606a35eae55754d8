// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// The address space a tool may take (RLIMIT_AS): room for a few full copies
// of the image it was given, over a floor that no ordinary run comes near,
// so that a tool misreading a header fails instead of taking the machine.
class ToolMemoryLimit {
public:
    // Not in a sanitizer build: our own tools, built alike, reserve terabytes
    // of shadow memory and could not start under any limit.
#ifdef __SANITIZE_ADDRESS__
    static constexpr bool enforced = false;
#else
    static constexpr bool enforced = true;
#endif
    // Node alone reserves some 700 MiB of address space to start.
    static constexpr qint64 floorBytes = qint64(2) << 30;
    // 16-bit RGBA is 8 bytes a pixel; a tool may hold its input, its output
    // and trial copies at once.
    static constexpr qint64 bytesPerPixel = 32;

    // For an image of `pixels` (all frames); 0 when its size is unknown.
    static qint64 forPixels(qint64 pixels);
    // For a Node server of `threads` worker threads: each is an engine of its
    // own and reserves most of a gigabyte before it does anything.
    static qint64 forScriptThreads(int threads);
};
