// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A ring with a blue gradient that turns once a second while its job runs.
Canvas {
    id: ring
    property real size: 60
    width: size
    height: size
    onPaint: {
        const ctx = getContext("2d")
        ctx.reset()
        const gradient = ctx.createConicalGradient(width / 2, height / 2, 0)
        gradient.addColorStop(0, Qt.rgba(0.04, 0.52, 1, 1))
        gradient.addColorStop(0.7, Qt.rgba(0.35, 0.78, 1, 0.5))
        gradient.addColorStop(1, Qt.rgba(0.35, 0.78, 1, 0))
        ctx.lineWidth = 3
        ctx.strokeStyle = gradient
        ctx.beginPath()
        ctx.arc(width / 2, height / 2, width / 2 - 2, 0, 2 * Math.PI)
        ctx.stroke()
    }
    RotationAnimation on rotation { from: 0; to: 360; duration: 1000; loops: Animation.Infinite }
}
