// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
pragma Singleton
import QtQuick

// Colours and fonts shared by the views, after the system palette.
QtObject {
    readonly property SystemPalette system: SystemPalette { colorGroup: SystemPalette.Active }
    readonly property bool dark: system.window.hslLightness < 0.5
    readonly property color windowBackground: system.window
    readonly property color surface: dark ? Qt.lighter(system.window, 1.25) : Qt.lighter(system.window, 1.04)
    readonly property color primary: system.windowText
    readonly property color secondary: Qt.rgba(primary.r, primary.g, primary.b, 0.62)
    readonly property color muted: Qt.rgba(primary.r, primary.g, primary.b, 0.45)
    readonly property color tertiary: Qt.rgba(primary.r, primary.g, primary.b, 0.3)
    readonly property color separator: Qt.rgba(primary.r, primary.g, primary.b, 0.18)
    readonly property color accent: "#0a84ff"
    // Darker on light windows, lighter on dark ones: the keyboard's ring reads on both.
    readonly property color focusRing: dark ? "#5eb1ff" : "#0060df"
    readonly property color blue: "#3478f6"
    readonly property color cyan: "#32ade6"
    readonly property color green: "#30b94d"
    readonly property color red: "#e5483d"
    readonly property color orange: "#f0a020"
    readonly property string mono: "DejaVu Sans Mono"

    function tint(c, alpha) { return Qt.rgba(c.r, c.g, c.b, alpha) }
}
