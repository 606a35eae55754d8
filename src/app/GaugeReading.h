// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// What the gauge shows for a saving and a progress: the value text, its unit
// and the angles of the arcs (degrees, clockwise from the positive x axis).
class GaugeReading : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qint64 savedBytes READ savedBytes WRITE setSavedBytes NOTIFY changed)
    Q_PROPERTY(double progress READ progress WRITE setProgress NOTIFY changed)
    Q_PROPERTY(QString valueText READ valueText NOTIFY changed)
    Q_PROPERTY(QString unitLabel READ unitLabel NOTIFY changed)
    Q_PROPERTY(double progressEnd READ progressEnd NOTIFY changed)
    Q_PROPERTY(double arcStart READ arcStartAngle CONSTANT)
    Q_PROPERTY(double arcEnd READ arcEndAngle CONSTANT)

public:
    static constexpr double arcStart = 150.0;
    static constexpr double arcEnd = 390.0;
    static constexpr double arcSpan = arcEnd - arcStart;

    using QObject::QObject;

    static double arcStartAngle() { return arcStart; }
    static double arcEndAngle() { return arcEnd; }
    qint64 savedBytes() const { return savedBytes_; }
    double progress() const { return progress_; }
    void setSavedBytes(qint64 bytes);
    void setProgress(double progress);

    static QString valueText(qint64 savedBytes);
    static QString unitLabel(qint64 savedBytes);
    // 0…1; anything else, NaN included, is brought into range.
    static double clamped(double progress);

    QString valueText() const { return valueText(savedBytes_); }
    QString unitLabel() const { return unitLabel(savedBytes_); }
    double progressEnd() const { return arcStart + clamped(progress_) * arcSpan; }

signals:
    void changed();

private:
    qint64 savedBytes_ = 0;
    double progress_ = 0.0;
};
