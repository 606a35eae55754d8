// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls

// The statistics tab: all-time cards and the history of batches.
ListView {
    id: view
    required property var dashboard
    // Shares of the table's width, which follows the page's (at least the 480 the texts need).
    readonly property var columns: [
        { title: qsTr("Date"), key: "date", share: 0.3125 },
        { title: qsTr("Images"), key: "images", share: 0.1458 },
        { title: qsTr("Reduced"), key: "reduced", share: 0.2083 },
        { title: qsTr("Savings"), key: "savings", share: 0.1667 },
        { title: qsTr("Runtime"), key: "runtime", share: 0.1667 }
    ]
    readonly property real tableWidth: Math.max(480 + 24, width - leftMargin - rightMargin)
    function columnWidth(index) { return columns[index].share * (tableWidth - 24) }
    // Until the user scrolls, the page stays at its top: the header grows once sessions come in,
    // and a ListView keeps its first row in place, which scrolled the page by that much.
    property bool scrolledByUser: false
    function keepAtTop() { if (!scrolledByUser) contentY = originY - topMargin }
    onMovementStarted: scrolledByUser = true
    onModelChanged: Qt.callLater(keepAtTop)

    function savingsColor(savings) {
        return savings >= 40 ? Theme.green : savings >= 20 ? Theme.secondary : Theme.tertiary
    }

    clip: true
    leftMargin: 36
    rightMargin: 36
    topMargin: 36
    bottomMargin: 20
    model: dashboard.isEmpty ? null : dashboard.sessions
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar {}
    activeFocusOnTab: count > 0
    Accessible.role: Accessible.List
    Accessible.name: qsTr("Session history")

    header: Column {
        width: view.width - view.leftMargin - view.rightMargin
        spacing: 24
        onHeightChanged: Qt.callLater(view.keepAtTop)

        Item {
            width: parent.width
            height: titles.implicitHeight
            Column {
                id: titles
                spacing: 4
                Text { text: qsTr("Overview"); font.pixelSize: 26; font.bold: true; color: Theme.primary }
                Text { text: qsTr("Statistics about your Pressly Pro usage"); font.pixelSize: 13; color: Theme.secondary }
            }
            Rectangle {
                objectName: "sinceBadge"
                anchors { right: parent.right; top: parent.top; topMargin: 6 }
                visible: view.dashboard.showsSince
                width: sinceText.implicitWidth + 16
                height: 22
                radius: 11
                color: Theme.tint(Theme.primary, 0.06)
                Text {
                    id: sinceText
                    anchors.centerIn: parent
                    text: view.dashboard.sinceText
                    font { pixelSize: 11; weight: Font.Medium }
                    color: Theme.muted
                }
            }
        }

        Column {
            objectName: "emptyState"
            visible: view.dashboard.isEmpty
            width: parent.width
            topPadding: 90
            spacing: 10
            Icon { name: "chart-bar"; size: 44; color: Theme.muted; anchors.horizontalCenter: parent.horizontalCenter }
            Text {
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                anchors.horizontalCenter: parent.horizontalCenter
                text: qsTr("No optimization data yet")
                font { pixelSize: 17; weight: Font.DemiBold }
                color: Theme.secondary
            }
            Text {
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                anchors.horizontalCenter: parent.horizontalCenter
                text: qsTr("Drop images to get started")
                font.pixelSize: 13
                color: Theme.muted
            }
        }

        Row {
            objectName: "summaryCards"
            visible: !view.dashboard.isEmpty
            width: parent.width
            spacing: 12
            readonly property real cardWidth: (width - 3 * spacing) / 4
            SummaryCard {
                width: parent.cardWidth; title: qsTr("Total Savings"); symbol: "arrow-circle-down-fill"
                tone: Theme.green; value: view.dashboard.totalSavingsText
            }
            SummaryCard {
                width: parent.cardWidth; title: qsTr("Total Photos"); symbol: "stack-fill"
                tone: Theme.blue; value: view.dashboard.totalPhotosText
            }
            SummaryCard {
                objectName: "madeSmaller"
                width: parent.cardWidth; title: qsTr("Files made smaller"); symbol: "seal-check-fill"
                tone: Theme.cyan; value: view.dashboard.madeSmallerText
            }
            SummaryCard {
                objectName: "reduction"
                width: parent.cardWidth; title: qsTr("Size reduction"); symbol: "gauge-fill"
                tone: Theme.orange; value: view.dashboard.reductionText
            }
        }

        Column {
            visible: !view.dashboard.isEmpty
            width: parent.width
            spacing: 10
            Item {
                width: view.tableWidth
                height: 26
                Row {
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 8
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: qsTr("SESSION HISTORY")
                        font { pixelSize: 13; weight: Font.DemiBold; letterSpacing: 0.5 }
                        color: Theme.secondary
                    }
                    Rectangle {
                        anchors.verticalCenter: parent.verticalCenter
                        width: Math.max(20, countText.implicitWidth + 10)
                        height: 18
                        radius: 9
                        color: Theme.tint(Theme.primary, 0.08)
                        Text {
                            id: countText
                            anchors.centerIn: parent
                            text: view.dashboard.sessionCount
                            font { pixelSize: 11; weight: Font.Medium }
                            color: Theme.secondary
                        }
                    }
                }
                Rectangle {
                    objectName: "exportButton"
                    anchors { right: parent.right; verticalCenter: parent.verticalCenter }
                    visible: view.dashboard.sessionCount > 0
                    width: exportRow.implicitWidth + 22
                    height: 26
                    radius: 13
                    color: exportArea.containsMouse ? Theme.tint(Theme.primary, 0.06) : "transparent"
                    border { color: Theme.separator; width: 1 }
                    activeFocusOnTab: visible
                    Accessible.role: Accessible.Button
                    Accessible.name: qsTr("Export")
                    Accessible.description: qsTr("Save the session history as a CSV file")
                    Accessible.onPressAction: view.dashboard.exportSessions()
                    Keys.onPressed: event => exportRing.press(event, () => view.dashboard.exportSessions())
                    FocusRing { id: exportRing }
                    Row {
                        id: exportRow
                        anchors.centerIn: parent
                        spacing: 5
                        Icon { name: "export"; size: 11; color: Theme.primary; anchors.verticalCenter: parent.verticalCenter }
                        Text { text: qsTr("Export"); font.pixelSize: 12; color: Theme.primary }
                    }
                    MouseArea {
                        id: exportArea
                        anchors.fill: parent
                        hoverEnabled: true
                        cursorShape: Qt.PointingHandCursor
                        onClicked: view.dashboard.exportSessions()
                    }
                }
            }
            Text {
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                visible: view.dashboard.sessionCount === 0
                text: qsTr("No sessions recorded yet")
                font.pixelSize: 13
                color: Theme.muted
            }
            Row {
                visible: view.dashboard.sessionCount > 0
                leftPadding: 12
                Repeater {
                    model: view.columns
                    SessionHeaderCell {
                        required property var modelData
                        required property int index
                        objectName: "header-" + modelData.key
                        dashboard: view.dashboard
                        width: view.columnWidth(index)
                        title: modelData.title
                        key: modelData.key
                    }
                }
            }
        }
    }

    delegate: Rectangle {
        id: row
        required property int index
        required property string idText
        required property string dateText
        required property var imageCount
        required property string savedBytesText
        required property real savings
        required property string savingsText
        required property string runtimeText
        readonly property bool hovered: view.dashboard.hoveredSessionID === idText

        objectName: "session-" + index
        width: view.tableWidth
        height: 34
        Accessible.role: Accessible.ListItem
        Accessible.name: qsTr("%1: %2 images, %3 saved, %4, took %5").arg(dateText).arg(imageCount).arg(savedBytesText)
                         .arg(savingsText).arg(runtimeText)
        FocusRing { shown: view.activeFocus && row.ListView.isCurrentItem; gap: 0 }
        radius: 6
        color: hovered ? Theme.tint(Theme.accent, 0.1) : index % 2 ? "transparent" : Theme.tint(Theme.primary, 0.03)
        Row {
            anchors { left: parent.left; leftMargin: 12; verticalCenter: parent.verticalCenter }
            Text { width: view.columnWidth(0); text: row.dateText; font.pixelSize: 12; color: Theme.primary }
            Text { width: view.columnWidth(1); text: row.imageCount; font.pixelSize: 12; color: Theme.primary }
            Text { width: view.columnWidth(2); text: row.savedBytesText; font.pixelSize: 12; color: Theme.primary }
            Text {
                objectName: "savingsCell"
                width: view.columnWidth(3)
                text: row.savingsText
                font { pixelSize: 12; weight: Font.Medium }
                color: view.savingsColor(row.savings)
            }
            Text { width: view.columnWidth(4); text: row.runtimeText; font.pixelSize: 12; color: Theme.secondary }
        }
        MouseArea {
            anchors.fill: parent
            hoverEnabled: true
            onEntered: view.dashboard.hoveredSessionID = row.idText
            onExited: if (view.dashboard.hoveredSessionID === row.idText) view.dashboard.hoveredSessionID = ""
        }
    }
}
