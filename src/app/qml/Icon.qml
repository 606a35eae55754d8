// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// One of our symbols, drawn in `color` by the icon provider.
Image {
    id: icon
    property string name
    property color color: Theme.primary
    property real size: 16

    function hex(c) {
        const part = v => ("0" + Math.round(v * 255).toString(16)).slice(-2)
        return part(c.r) + part(c.g) + part(c.b)
    }
    width: size
    height: size
    opacity: color.a
    sourceSize: Qt.size(Math.ceil(size * 2), Math.ceil(size * 2))
    source: name ? "image://icon/" + name + "/" + hex(color) : ""
    smooth: true
}
