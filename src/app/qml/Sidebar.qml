// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls

// The rail of tabs at the window's left edge.
Rectangle {
    id: rail
    property int hoveredTab: -1
    readonly property var tabs: [
        { key: "Files", title: qsTr("Files"), symbol: "files" },
        { key: "Statistics", title: qsTr("Statistics"), symbol: "chart-bar" },
        { key: "Settings", title: qsTr("Settings"), symbol: "gear" }
    ]
    width: 60
    color: Theme.tint(Theme.surface, 0.85)
    Accessible.role: Accessible.PageTabList
    Accessible.name: qsTr("Pages")

    Rectangle {
        anchors { top: parent.top; bottom: parent.bottom; right: parent.right }
        width: 0.5
        color: Theme.separator
    }

    Column {
        anchors { top: parent.top; topMargin: 12; horizontalCenter: parent.horizontalCenter }
        spacing: 4
        Repeater {
            model: rail.tabs
            delegate: Rectangle {
                id: button
                required property int index
                required property var modelData
                readonly property bool selected: mainView.selectedTab === index
                readonly property bool hovered: rail.hoveredTab === index
                objectName: "tab-" + modelData.key
                width: 40
                height: 40
                radius: 8
                color: Theme.tint(Theme.primary, selected ? 0.12 : hovered ? 0.06 : 0)
                Behavior on color { ColorAnimation { duration: 150; easing.type: Easing.InOutQuad } }
                activeFocusOnTab: true
                Accessible.role: Accessible.PageTab
                Accessible.name: modelData.title
                Accessible.selectable: true
                Accessible.selected: selected
                Accessible.onPressAction: mainView.selectedTab = index
                Keys.onPressed: event => tabRing.press(event, () => mainView.selectedTab = button.index)
                FocusRing { id: tabRing }
                Icon {
                    anchors.centerIn: parent
                    name: button.modelData.symbol
                    size: 18
                    color: button.selected ? Theme.accent : button.hovered ? Theme.primary : Theme.secondary
                }
                MouseArea {
                    id: area
                    anchors.fill: parent
                    hoverEnabled: true
                    onEntered: rail.hoveredTab = button.index
                    onExited: if (rail.hoveredTab === button.index) rail.hoveredTab = -1
                    onClicked: mainView.selectedTab = button.index
                }
                ToolTip.visible: area.containsMouse
                ToolTip.delay: 600
                ToolTip.text: modelData.title
            }
        }
    }
}
