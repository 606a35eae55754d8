// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import PresslyPro

// Zoom out, the zoom in percent, zoom in, and back to fit.
Rectangle {
    id: bar
    objectName: "zoomBar"
    property HeroZoom zoom
    implicitWidth: row.implicitWidth + 8
    implicitHeight: row.implicitHeight + 6
    radius: height / 2
    color: Theme.tint(Theme.primary, 0.06)
    border.color: Theme.separator
    border.width: 0.5
    Row {
        id: row
        anchors.centerIn: parent
        spacing: 2
        PillButton { objectName: "zoomOutButton"; symbol: "minus"; onClicked: bar.zoom.zoomOut()
                     tip: qsTr("Zoom out") }
        Text {
            objectName: "zoomPercent"
            anchors.verticalCenter: parent.verticalCenter
            width: 44
            horizontalAlignment: Text.AlignHCenter
            text: bar.zoom.percentText
            font.pixelSize: 11
            font.family: Theme.mono
            color: Theme.primary
        }
        PillButton { objectName: "zoomInButton"; symbol: "plus"; onClicked: bar.zoom.zoomIn()
                     tip: qsTr("Zoom in") }
        PillButton { objectName: "fitButton"; symbol: "arrows-out-simple"; tip: qsTr("Fit to view"); onClicked: bar.zoom.reset() }
    }
}
