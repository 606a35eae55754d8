// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointF>
#include <QtQml/qqmlregistration.h>

// Zoom and pan of the enlarged picture. The view animates towards these
// values; they themselves change at once, so what was asked is what holds.
class HeroZoom : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(double zoomScale READ zoomScale NOTIFY changed)
    Q_PROPERTY(double lastZoomScale READ lastZoomScale NOTIFY changed)
    Q_PROPERTY(QPointF panOffset READ panOffset NOTIFY changed)
    Q_PROPERTY(QPointF lastPanOffset READ lastPanOffset NOTIFY changed)
    Q_PROPERTY(double minZoom READ minZoom CONSTANT)
    Q_PROPERTY(double maxZoom READ maxZoom CONSTANT)
    Q_PROPERTY(QString percentText READ percentText NOTIFY changed)

public:
    using QObject::QObject;

    double zoomScale() const { return zoomScale_; }
    double lastZoomScale() const { return lastZoomScale_; }
    QPointF panOffset() const { return panOffset_; }
    QPointF lastPanOffset() const { return lastPanOffset_; }
    static double minZoom() { return 1.0; }
    static double maxZoom() { return 8.0; }
    QString percentText() const;

    Q_INVOKABLE void pinchChanged(double magnification);
    Q_INVOKABLE void pinchEnded(double magnification);
    Q_INVOKABLE void dragChanged(QPointF translation);
    Q_INVOKABLE void dragEnded();
    // Answers whether the delta was large enough to count.
    Q_INVOKABLE bool scrollWheel(double delta);
    Q_INVOKABLE void zoomIn();
    Q_INVOKABLE void zoomOut();
    Q_INVOKABLE void reset();

signals:
    void changed();

private:
    static double clamp(double zoom);
    void apply(double zoom);

    double zoomScale_ = 1.0;
    double lastZoomScale_ = 1.0;
    QPointF panOffset_;
    QPointF lastPanOffset_;
};
