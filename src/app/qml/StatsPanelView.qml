// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls

// The running batch at a glance, at the window's right edge.
Rectangle {
    id: panel
    required property var stats

    width: 210
    color: Theme.tint(Theme.surface, 0.6)

    Rectangle {
        anchors { left: parent.left; top: parent.top; bottom: parent.bottom }
        width: 0.5
        color: Theme.separator
    }

    Column {
        anchors { left: parent.left; right: parent.right; top: parent.top; margins: 14; topMargin: 18 }
        spacing: 14

        CircularGaugeView {
            objectName: "gauge"
            anchors.horizontalCenter: parent.horizontalCenter
            savedBytes: panel.stats.savedBytes
            progress: panel.stats.progress
            isProcessing: panel.stats.isProcessing
        }

        Rectangle {
            objectName: "stopButton"
            anchors.horizontalCenter: parent.horizontalCenter
            visible: panel.stats.isProcessing
            width: stopRow.implicitWidth + 24
            height: 26
            radius: height / 2
            color: stopArea.containsMouse ? Theme.tint(Theme.primary, 0.06) : "transparent"
            border { color: Theme.separator; width: 1 }
            activeFocusOnTab: visible
            Accessible.role: Accessible.Button
            Accessible.name: qsTr("Stop")
            Accessible.description: qsTr("Stop optimizing: files not yet started stay as they are")
            Accessible.onPressAction: panel.stats.stop()
            Keys.onPressed: event => stopRing.press(event, () => panel.stats.stop())
            FocusRing { id: stopRing }
            Row {
                id: stopRow
                anchors.centerIn: parent
                spacing: 6
                Icon { name: "stop-fill"; size: 8; color: Theme.secondary; anchors.verticalCenter: parent.verticalCenter }
                Text { text: qsTr("Stop"); font.pixelSize: 12; font.weight: Font.Medium; color: Theme.secondary }
            }
            MouseArea {
                id: stopArea
                anchors.fill: parent
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                onClicked: panel.stats.stop()
            }
        }

        Column {
            objectName: "stoppedNotice"
            visible: panel.stats.notOptimizedCount > 0
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 6
            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: panel.stats.stoppedText
                font.pixelSize: 12
                color: Theme.secondary
                Accessible.role: Accessible.StaticText
                Accessible.name: text
            }
            Button {
                objectName: "optimizeRestButton"
                anchors.horizontalCenter: parent.horizontalCenter
                text: qsTr("Optimize the rest")
                Accessible.name: text
                onClicked: panel.stats.optimizeRest()
            }
        }

        // One card a row: a million files or 999 GB fit beside nothing else.
        PanelCard {
            title: qsTr("PHOTOS")
            width: parent.width
            Accessible.role: Accessible.StaticText
            Accessible.name: qsTr("Photos: %1 of %n finished", "", panel.stats.jobCount).arg(finished.text)
            Text {
                id: finished
                objectName: "finishedCount"
                width: parent.width
                text: Number(panel.stats.finishedCount).toLocaleString(Qt.locale(), "f", 0)
                font { pixelSize: 24; bold: true }
                fontSizeMode: Text.HorizontalFit
                minimumPixelSize: 12
                color: Theme.primary
            }
            Text {
                objectName: "jobCount"
                width: parent.width
                text: qsTr("of %1").arg(Number(panel.stats.jobCount).toLocaleString(Qt.locale(), "f", 0))
                font { pixelSize: 12; weight: Font.Medium }
                color: Theme.muted
                elide: Text.ElideRight
            }
            Text {
                objectName: "failedLine"
                visible: panel.stats.failedCount > 0
                width: parent.width
                text: qsTr("%Ln failed", "", panel.stats.failedCount)
                font.pixelSize: 11
                color: Theme.tint(Theme.red, 0.7)
                elide: Text.ElideRight
            }
        }
        PanelCard {
            title: qsTr("SAVINGS")
            width: parent.width
            Accessible.role: Accessible.StaticText
            Accessible.name: qsTr("Savings: %1, %2").arg(average.text).arg(savedOfOriginal.text)
            Text {
                id: average
                objectName: "savingsShare"
                width: parent.width
                text: panel.stats.savingsShareText + " %"
                font { pixelSize: 24; bold: true }
                fontSizeMode: Text.HorizontalFit
                minimumPixelSize: 12
                color: panel.stats.savingsShare > 0 ? Theme.green : Theme.primary
            }
            Text {
                id: savedOfOriginal
                objectName: "savedOfOriginal"
                width: parent.width
                text: qsTr("%1 of %2").arg(panel.stats.savedBytesText).arg(panel.stats.originalBytesText)
                font.pixelSize: 11
                color: Theme.secondary
                elide: Text.ElideRight
            }
            Text {
                objectName: "madeSmaller"
                visible: panel.stats.finishedCount > 0
                width: parent.width
                text: panel.stats.madeSmallerText
                font.pixelSize: 11
                color: Theme.secondary
                wrapMode: Text.WordWrap
            }
        }

        PanelCard {
            title: qsTr("ALL-TIME")
            width: parent.width
            Accessible.role: Accessible.StaticText
            Accessible.name: qsTr("All-time: %1 saved, %2").arg(allTimeSaved.text).arg(sinceLine.text)
            Text {
                id: allTimeSaved
                objectName: "allTimeSaved"
                text: panel.stats.allTimeSavedText
                font { pixelSize: 18; bold: true }
                color: Theme.secondary
            }
            Text {
                id: sinceLine
                text: panel.stats.sinceText
                font.pixelSize: 10
                color: Theme.muted
            }
        }
    }
}
