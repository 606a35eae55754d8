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
            Row {
                id: stopRow
                anchors.centerIn: parent
                spacing: 6
                Icon { name: "stop-fill"; size: 8; color: Theme.secondary; anchors.verticalCenter: parent.verticalCenter }
                Text { text: "Stop"; font.pixelSize: 12; font.weight: Font.Medium; color: Theme.secondary }
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

        Row {
            width: parent.width
            spacing: 8
            PanelCard {
                title: "PHOTOS"
                width: (parent.width - parent.spacing) / 2
                Row {
                    Text {
                        id: finished
                        objectName: "finishedCount"
                        text: panel.stats.finishedCount
                        font { pixelSize: 24; bold: true }
                        color: Theme.primary
                    }
                    Text {
                        objectName: "jobCount"
                        anchors.baseline: finished.baseline
                        text: " / " + panel.stats.jobCount
                        font { pixelSize: 14; weight: Font.Medium }
                        color: Theme.muted
                    }
                }
                Text {
                    objectName: "failedLine"
                    visible: panel.stats.failedCount > 0
                    text: panel.stats.failedCount + " failed"
                    font.pixelSize: 11
                    color: Theme.tint(Theme.red, 0.7)
                }
            }
            PanelCard {
                title: "SAVINGS"
                width: (parent.width - parent.spacing) / 2
                Row {
                    Text {
                        id: average
                        objectName: "averageSavings"
                        text: panel.stats.averageSavingsText
                        font { pixelSize: 24; bold: true }
                        color: panel.stats.averageSavings > 0 ? Theme.green : Theme.primary
                    }
                    Text {
                        anchors.baseline: average.baseline
                        text: "%"
                        font { pixelSize: 14; weight: Font.Medium }
                        color: Theme.tint(Theme.green, 0.7)
                    }
                }
                Text {
                    objectName: "savedOfOriginal"
                    width: parent.width
                    text: panel.stats.savedBytesText + " / " + panel.stats.originalBytesText
                    font.pixelSize: 11
                    color: Theme.secondary
                    wrapMode: Text.Wrap
                }
            }
        }

        PanelCard {
            title: "ALL-TIME"
            width: parent.width
            Text {
                objectName: "allTimeSaved"
                text: panel.stats.allTimeSavedText
                font { pixelSize: 18; bold: true }
                color: Theme.secondary
            }
            Text {
                text: panel.stats.sinceText
                font.pixelSize: 10
                color: Theme.muted
            }
        }
    }
}
