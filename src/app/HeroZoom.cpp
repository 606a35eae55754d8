// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HeroZoom.h"

#include <algorithm>
#include <cmath>

double HeroZoom::clamp(double zoom)
{
    return std::clamp(zoom, minZoom(), maxZoom());
}

QString HeroZoom::percentText() const
{
    return QString::number(qint64(std::trunc(zoomScale_ * 100.0))) + QLatin1Char('%');
}

void HeroZoom::pinchChanged(double magnification)
{
    zoomScale_ = clamp(lastZoomScale_ * magnification);
    emit changed();
}

void HeroZoom::pinchEnded(double magnification)
{
    zoomScale_ = lastZoomScale_ = clamp(lastZoomScale_ * magnification);
    if (zoomScale_ <= 1.0)
        panOffset_ = lastPanOffset_ = {};
    emit changed();
}

void HeroZoom::dragChanged(QPointF translation)
{
    if (zoomScale_ <= 1.0)
        return;
    panOffset_ = lastPanOffset_ + translation;
    emit changed();
}

void HeroZoom::dragEnded()
{
    if (zoomScale_ <= 1.0)
        return;
    lastPanOffset_ = panOffset_;
    emit changed();
}

bool HeroZoom::scrollWheel(double delta)
{
    if (std::abs(delta) <= 0.1)
        return false;
    apply(clamp(zoomScale_ * (delta > 0 ? 1.15 : 0.87)));
    return true;
}

void HeroZoom::zoomIn()
{
    apply(std::min(maxZoom(), zoomScale_ * 1.5));
}

void HeroZoom::zoomOut()
{
    apply(std::max(minZoom(), zoomScale_ / 1.5));
}

void HeroZoom::reset()
{
    apply(1.0);
}

void HeroZoom::apply(double zoom)
{
    zoomScale_ = lastZoomScale_ = zoom;
    if (zoom <= 1.0)
        panOffset_ = lastPanOffset_ = {};
    emit changed();
}
