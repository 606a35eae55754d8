// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A column title of the session table; clicking it sorts by its key.
Item {
    id: cell
    required property var dashboard
    property string title
    property string key
    readonly property bool current: dashboard.sortKey === key

    implicitHeight: 28
    activeFocusOnTab: true
    Accessible.role: Accessible.ColumnHeader
    Accessible.name: title
    Accessible.description: !current ? qsTr("Sort by this column")
                            : dashboard.sortOrder === "ascending" ? qsTr("Sorted from smallest") : qsTr("Sorted from largest")
    Accessible.onPressAction: dashboard.sortBy(key)
    Keys.onPressed: event => ring.press(event, () => cell.dashboard.sortBy(cell.key))
    FocusRing { id: ring }
    Row {
        anchors { left: parent.left; verticalCenter: parent.verticalCenter }
        spacing: 4
        Text {
            text: cell.title
            font { pixelSize: 12; weight: Font.DemiBold }
            color: cell.current ? Theme.primary : Theme.secondary
        }
        Icon {
            objectName: "chevron"
            anchors.verticalCenter: parent.verticalCenter
            visible: cell.current
            name: cell.dashboard.sortOrder === "ascending" ? "caret-up-bold" : "caret-down-bold"
            size: 9
            color: Theme.primary
        }
    }
    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: cell.dashboard.sortBy(cell.key)
    }
}
