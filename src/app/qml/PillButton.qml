// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls

// A flat button with one of our symbols and optional text.
Button {
    id: button
    property string symbol
    property color tint: Theme.primary
    property string tip
    padding: 6
    horizontalPadding: text ? 12 : 7
    flat: true
    hoverEnabled: true
    ToolTip.visible: tip !== "" && hovered
    ToolTip.text: tip
    ToolTip.delay: 500
    contentItem: Row {
        spacing: 6
        Icon {
            anchors.verticalCenter: parent.verticalCenter
            visible: button.symbol !== ""
            name: button.symbol
            size: 14
            color: button.enabled ? button.tint : Theme.muted
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            visible: button.text !== ""
            text: button.text
            font.pixelSize: 12
            font.weight: Font.Medium
            color: button.enabled ? button.tint : Theme.muted
        }
    }
    background: Rectangle {
        radius: height / 2
        color: button.down ? Theme.tint(Theme.primary, 0.16)
               : button.hovered ? Theme.tint(Theme.primary, 0.1) : Theme.tint(Theme.primary, 0.05)
        border.color: Theme.separator
        border.width: 0.5
        FocusRing { shown: button.visualFocus }
    }
    Accessible.name: text !== "" ? text : tip
}
