// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMutex>
#include <QWaitCondition>

// Bounds how many pixels the in-process decoders and encoders hold at once:
// a large image waits until enough of the budget is free. An image larger
// than the whole budget runs once nothing else holds any. Blocks the calling
// thread: pool threads only, never the event loop.
class PixelBudget {
public:
    class Lease {
    public:
        Lease() = default;
        Lease(Lease&& other) noexcept;
        Lease& operator=(Lease&& other) noexcept;
        ~Lease();
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;

    private:
        friend class PixelBudget;
        Lease(PixelBudget* budget, qint64 pixels) : budget_(budget), pixels_(pixels) { }
        PixelBudget* budget_ = nullptr;
        qint64 pixels_ = 0;
    };

    explicit PixelBudget(qint64 capacity);
    // About one 4096×4096 image and a few small ones; two such images at
    // once double the process's peak memory.
    static PixelBudget& shared();

    Lease acquire(qint64 pixels);
    qint64 inUse() const;

private:
    void release(qint64 pixels);

    const qint64 capacity_;
    mutable QMutex mutex_;
    QWaitCondition freed_;
    qint64 used_ = 0;
};
