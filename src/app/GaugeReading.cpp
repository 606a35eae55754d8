// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/GaugeReading.h"

#include <QLocale>

#include <cmath>

namespace {
double megabytes(qint64 bytes)
{
    return double(bytes) / 1e6;
}
} // namespace

void GaugeReading::setSavedBytes(qint64 bytes)
{
    if (std::exchange(savedBytes_, bytes) != bytes)
        emit changed();
}

void GaugeReading::setProgress(double progress)
{
    if (std::exchange(progress_, progress) != progress)
        emit changed();
}

QString GaugeReading::valueText(qint64 savedBytes)
{
    const double m = megabytes(savedBytes);
    // Three figures at most, in gigabytes as in megabytes, so the value stays inside the arc.
    const double value = m >= 1000.0 ? double(savedBytes) / 1e9 : m;
    if (value >= 100.0)
        return QLocale().toString(value, 'f', 0);
    if (value >= 10.0)
        return QLocale().toString(value, 'f', 1);
    return QLocale().toString(value, 'f', 2);
}

QString GaugeReading::unitLabel(qint64 savedBytes)
{
    return megabytes(savedBytes) >= 1000.0 ? tr("GB SAVED") : tr("MB SAVED");
}

double GaugeReading::clamped(double progress)
{
    if (std::isnan(progress))
        return 0.0;
    return std::clamp(progress, 0.0, 1.0);
}
