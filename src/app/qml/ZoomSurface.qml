// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import PresslyPro

// Turns pointer input over the enlarged picture into zoom and pan: drag,
// double click, pinch and the vertical wheel delta (in notches, or pixels
// where the device reports them).
MouseArea {
    id: surface
    property HeroZoom zoom
    property point start
    onPressed: mouse => start = Qt.point(mouse.x, mouse.y)
    onPositionChanged: mouse => zoom.dragChanged(Qt.point(mouse.x - start.x, mouse.y - start.y))
    onReleased: zoom.dragEnded()
    onDoubleClicked: zoom.reset()
    onWheel: wheel => zoom.scrollWheel(wheel.pixelDelta.y !== 0 ? wheel.pixelDelta.y : wheel.angleDelta.y / 120)
    PinchHandler {
        target: null
        onScaleChanged: if (active) surface.zoom.pinchChanged(scale)
        onActiveChanged: if (!active) surface.zoom.pinchEnded(scale)
    }
}
