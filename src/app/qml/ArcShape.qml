// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Shapes

// A thick arc with round ends, from `startAngle` to `endAngle` (degrees,
// clockwise from the positive x axis) around the mid-point moved 10 down,
// with a radius of half the smaller side less 8. Drawn as a filled outline
// so that a gradient can colour it.
Shape {
    id: arc
    property real startAngle: 150
    property real endAngle: 390
    property real lineWidth: 10
    property color color: "black"
    property ShapeGradient gradient: null

    readonly property real centerX: width / 2
    readonly property real centerY: height / 2 + 10
    readonly property real radius: Math.min(width, height) / 2 - 8
    readonly property real outer: radius + lineWidth / 2
    readonly property real inner: radius - lineWidth / 2
    readonly property real sweep: endAngle - startAngle

    function pointAt(r, degrees, axis) {
        const a = degrees * Math.PI / 180
        return axis === "x" ? centerX + r * Math.cos(a) : centerY + r * Math.sin(a)
    }

    visible: sweep > 0
    antialiasing: true

    ShapePath {
        strokeColor: "transparent"
        strokeWidth: 0
        fillColor: arc.color
        fillGradient: arc.gradient
        PathAngleArc {
            centerX: arc.centerX; centerY: arc.centerY
            radiusX: arc.outer; radiusY: arc.outer
            startAngle: arc.startAngle; sweepAngle: arc.sweep
        }
        PathArc {
            x: arc.pointAt(arc.inner, arc.endAngle, "x"); y: arc.pointAt(arc.inner, arc.endAngle, "y")
            radiusX: arc.lineWidth / 2; radiusY: arc.lineWidth / 2
        }
        PathAngleArc {
            centerX: arc.centerX; centerY: arc.centerY
            radiusX: arc.inner; radiusY: arc.inner
            startAngle: arc.endAngle; sweepAngle: -arc.sweep
            moveToStart: false
        }
        PathArc {
            x: arc.pointAt(arc.outer, arc.startAngle, "x"); y: arc.pointAt(arc.outer, arc.startAngle, "y")
            radiusX: arc.lineWidth / 2; radiusY: arc.lineWidth / 2
        }
    }
}
