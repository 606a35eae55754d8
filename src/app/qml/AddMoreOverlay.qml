// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// Over the job list while files hover: they will join it.
Rectangle {
    id: overlay
    color: Qt.rgba(0, 0, 0, 0.15)
    Behavior on opacity { NumberAnimation { duration: 150; easing.type: Easing.OutQuad } }

    Rectangle {
        anchors.centerIn: parent
        width: column.implicitWidth + 56
        height: column.implicitHeight + 56
        radius: 12
        color: Theme.tint(Theme.surface, 0.92)
        border.color: Theme.separator
        Column {
            id: column
            anchors.centerIn: parent
            spacing: 10
            Icon {
                id: plus
                anchors.horizontalCenter: parent.horizontalCenter
                name: "plus-circle-fill"
                color: Theme.green
                size: 32
                SequentialAnimation on scale {
                    running: overlay.visible
                    NumberAnimation { from: 0.8; to: 1.15; duration: 140; easing.type: Easing.OutQuad }
                    SpringAnimation { to: 1; spring: 4; damping: 0.25 }
                }
            }
            Text {
                text: qsTr("Add more images")
                font.pixelSize: 15
                font.weight: Font.Medium
                color: Theme.primary
            }
        }
    }
}
