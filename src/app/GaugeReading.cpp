#include "app/GaugeReading.h"

#include <cmath>

namespace {
double megabytes(qint64 bytes) { return double(bytes) / 1e6; }
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
        return QString::asprintf("%.0f", value);
    if (value >= 10.0)
        return QString::asprintf("%.1f", value);
    return QString::asprintf("%.2f", value);
}

QString GaugeReading::unitLabel(qint64 savedBytes)
{
    return megabytes(savedBytes) >= 1000.0 ? QStringLiteral("GB SAVED") : QStringLiteral("MB SAVED");
}

double GaugeReading::clamped(double progress)
{
    if (std::isnan(progress))
        return 0.0;
    return std::clamp(progress, 0.0, 1.0);
}
