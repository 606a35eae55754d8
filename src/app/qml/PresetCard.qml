// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// One compression preset, side by side with the others.
Rectangle {
    id: card
    property string symbol
    property string title
    property string description
    property bool selected
    signal chosen()

    implicitHeight: 128
    radius: 10
    color: selected ? Theme.tint(Theme.green, 0.09) : Theme.surface
    border.color: selected ? Theme.green : Theme.separator
    border.width: selected ? 1.5 : 0.5
    Behavior on color { ColorAnimation { duration: 250 } }

    Column {
        anchors { fill: parent; margins: 14 }
        spacing: 6
        Icon { name: card.symbol; size: 22; color: card.selected ? Theme.green : Theme.secondary }
        Text { text: card.title; font.pixelSize: 14; font.weight: Font.DemiBold; color: Theme.primary }
        Text {
            width: parent.width
            text: card.description
            font.pixelSize: 11
            color: Theme.secondary
            wrapMode: Text.WordWrap
        }
    }
    MouseArea { anchors.fill: parent; onClicked: card.chosen() }
    activeFocusOnTab: true
    Accessible.role: Accessible.RadioButton
    Accessible.name: title
    Accessible.description: description
    Accessible.checkable: true
    Accessible.checked: selected
    Accessible.onPressAction: card.chosen()
    Accessible.onToggleAction: card.chosen()
    Keys.onPressed: event => ring.press(event, () => card.chosen())
    FocusRing { id: ring }
}
