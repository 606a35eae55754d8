// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PixelBudget.h"

#include <algorithm>
#include <utility>

PixelBudget::Lease::Lease(Lease&& other) noexcept
    : budget_(std::exchange(other.budget_, nullptr)), pixels_(std::exchange(other.pixels_, 0))
{
}

PixelBudget::Lease& PixelBudget::Lease::operator=(Lease&& other) noexcept
{
    if (this != &other) {
        if (budget_)
            budget_->release(pixels_);
        budget_ = std::exchange(other.budget_, nullptr);
        pixels_ = std::exchange(other.pixels_, 0);
    }
    return *this;
}

PixelBudget::Lease::~Lease()
{
    if (budget_)
        budget_->release(pixels_);
}

PixelBudget::PixelBudget(qint64 capacity) : capacity_(std::max<qint64>(capacity, 1))
{
}

PixelBudget& PixelBudget::shared()
{
    static PixelBudget instance(24'000'000);
    return instance;
}

PixelBudget::Lease PixelBudget::acquire(qint64 pixels)
{
    pixels = std::max<qint64>(pixels, 0);
    QMutexLocker lock(&mutex_);
    while (used_ > 0 && used_ + pixels > capacity_)
        freed_.wait(&mutex_);
    used_ += pixels;
    return Lease(this, pixels);
}

qint64 PixelBudget::inUse() const
{
    QMutexLocker lock(&mutex_);
    return used_;
}

void PixelBudget::release(qint64 pixels)
{
    QMutexLocker lock(&mutex_);
    used_ -= pixels;
    freed_.wakeAll();
}
