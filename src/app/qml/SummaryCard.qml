// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// One all-time figure of the dashboard on a wash of its colour.
Rectangle {
    id: card
    property string title
    property string symbol
    property color tone
    property string value

    implicitHeight: 96
    Accessible.role: Accessible.StaticText
    Accessible.name: qsTr("%1: %2").arg(title).arg(value)
    radius: 12
    border { color: Theme.tint(tone, 0.3); width: 1 }
    gradient: Gradient {
        orientation: Gradient.Horizontal
        GradientStop { position: 0; color: Theme.tint(card.tone, 0.22) }
        GradientStop { position: 1; color: Theme.tint(card.tone, 0.06) }
    }

    Column {
        anchors { left: parent.left; right: parent.right; verticalCenter: parent.verticalCenter; margins: 14 }
        spacing: 6
        Row {
            spacing: 6
            Icon { name: card.symbol; size: 16; color: card.tone; anchors.verticalCenter: parent.verticalCenter }
            Text { text: card.title; font.pixelSize: 12; font.weight: Font.DemiBold; color: Theme.secondary }
        }
        Text {
            objectName: "value"
            width: parent.width
            text: card.value
            font { pixelSize: 24; bold: true }
            color: Theme.primary
            elide: Text.ElideRight
        }
    }
}
