// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A full-width row choosing where optimized files go.
Rectangle {
    id: card
    property string symbol
    property string title
    property string description
    property bool selected
    signal chosen()

    implicitHeight: 62
    radius: 10
    color: selected ? Theme.tint(Theme.accent, 0.08) : Theme.surface
    border.color: selected ? Theme.tint(Theme.accent, 0.35) : Theme.separator
    border.width: selected ? 1.5 : 0.5

    Rectangle {
        id: iconSquare
        anchors { left: parent.left; leftMargin: 14; verticalCenter: parent.verticalCenter }
        width: 30; height: 30; radius: 7
        color: Theme.tint(Theme.accent, 0.15)
        Icon { anchors.centerIn: parent; name: card.symbol; size: 15; color: Theme.accent }
    }
    Column {
        anchors { left: iconSquare.right; leftMargin: 12; right: mark.left; rightMargin: 12
                  verticalCenter: parent.verticalCenter }
        spacing: 2
        Text { text: card.title; font.pixelSize: 14; font.weight: Font.Medium; color: Theme.primary }
        Text {
            width: parent.width
            text: card.description
            font.pixelSize: 12
            color: Theme.secondary
            elide: Text.ElideRight
        }
    }
    Icon {
        id: mark
        anchors { right: parent.right; rightMargin: 14; verticalCenter: parent.verticalCenter }
        name: card.selected ? "check-circle-fill" : "circle"
        color: card.selected ? Theme.accent : Theme.muted
        size: 18
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
