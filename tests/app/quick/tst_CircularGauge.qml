// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import PresslyPro

TestCase {
    name: "CircularGauge"
    when: windowShown
    visible: true
    width: 200
    height: 160

    Rectangle { anchors.fill: parent; color: "white" }
    CircularGaugeView { id: gauge; animated: false }

    function test_valueText_data() {
        return [
            { tag: "just under 10 MB", bytes: 9999999, value: "10.00", unit: "MB SAVED" },
            { tag: "10 MB", bytes: 10000000, value: "10.0", unit: "MB SAVED" },
            { tag: "100 MB", bytes: 100000000, value: "100", unit: "MB SAVED" },
            { tag: "1 GB", bytes: 1000000000, value: "1.00", unit: "GB SAVED" },
            { tag: "999 GB", bytes: 999000000000, value: "999", unit: "GB SAVED" },
        ]
    }
    function test_valueText(data) {
        gauge.savedBytes = data.bytes
        compare(findChild(gauge, "gaugeValue").text, data.value)
        compare(findChild(gauge, "gaugeUnit").text, data.unit)
    }

    // Angles on the arc's circle (clockwise from 3 o'clock) that must or must not be green.
    function test_arcFollowsClampedProgress_data() {
        return [
            { tag: "partial", progress: 0.45, end: 258, green: [165, 240], grey: [285, 380] },
            { tag: "negative", progress: -0.5, end: 150, green: [], grey: [140, 160, 270, 380] },
            { tag: "beyond full", progress: 1.5, end: 390, green: [160, 270, 380], grey: [60] },
        ]
    }
    function test_arcFollowsClampedProgress(data) {
        gauge.progress = data.progress
        const arc = findChild(gauge, "gaugeProgress")
        compare(arc.endAngle, data.end)
        waitForRendering(gauge)
        const image = grabImage(gauge)
        const isGreen = angle => {
            const a = angle * Math.PI / 180
            const p = image.pixel(Math.round(80 + 52 * Math.cos(a)), Math.round(70 + 52 * Math.sin(a)))
            return p.g > p.r + 0.2 && p.g > p.b + 0.2
        }
        for (const angle of data.green)
            verify(isGreen(angle), "green at " + angle)
        for (const angle of data.grey)
            verify(!isGreen(angle), "not green at " + angle)
    }
}
