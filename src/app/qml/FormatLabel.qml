// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A small outlined label naming one format.
Rectangle {
    property alias text: label.text
    property int pixelSize: 9
    implicitWidth: label.implicitWidth + 12
    implicitHeight: label.implicitHeight + 6
    radius: 4
    color: "transparent"
    border.color: Theme.separator
    border.width: 1
    Text {
        id: label
        anchors.centerIn: parent
        font.family: Theme.mono
        font.pixelSize: parent.pixelSize
        font.weight: Font.Medium
        color: Theme.secondary
    }
}
