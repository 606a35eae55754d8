// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls
import QtQuick.Shapes

// What the files tab shows while no job exists.
Item {
    id: zone
    property bool isTargeted: mainView.isDropTargeted
    property bool appeared: false
    property bool iconFloat: false
    signal browse()

    Component.onCompleted: appearTimer.start()
    Timer { id: appearTimer; interval: 100; onTriggered: { zone.appeared = true; zone.iconFloat = true } }

    // The outline: dashed normally, solid green while files hover.
    Shape {
        id: outline
        anchors.fill: parent
        anchors.margins: 16
        ShapePath {
            strokeColor: zone.isTargeted ? Theme.tint(Theme.green, 0.4) : Theme.separator
            strokeWidth: zone.isTargeted ? 2 : 1
            strokeStyle: zone.isTargeted ? ShapePath.SolidLine : ShapePath.DashLine
            dashPattern: [6, 4]
            fillColor: "transparent"
            startX: 12; startY: 0
            PathLine { x: outline.width - 12; y: 0 }
            PathArc { x: outline.width; y: 12; radiusX: 12; radiusY: 12 }
            PathLine { x: outline.width; y: outline.height - 12 }
            PathArc { x: outline.width - 12; y: outline.height; radiusX: 12; radiusY: 12 }
            PathLine { x: 12; y: outline.height }
            PathArc { x: 0; y: outline.height - 12; radiusX: 12; radiusY: 12 }
            PathLine { x: 0; y: 12 }
            PathArc { x: 12; y: 0; radiusX: 12; radiusY: 12 }
        }
    }

    Column {
        id: content
        anchors.centerIn: parent
        anchors.verticalCenterOffset: zone.appeared ? 0 : 12
        opacity: zone.appeared ? 1 : 0
        spacing: 14
        Behavior on opacity { NumberAnimation { duration: 500; easing.type: Easing.OutCubic } }
        Behavior on anchors.verticalCenterOffset { NumberAnimation { duration: 500; easing.type: Easing.OutCubic } }

        Item {
            id: iconBlock
            width: 110
            height: 110
            anchors.horizontalCenter: parent.horizontalCenter
            transform: Translate { id: floatShift; y: 4 }
            // Drifts up and down by 8 points for as long as the zone shows.
            SequentialAnimation {
                running: zone.iconFloat
                loops: Animation.Infinite
                NumberAnimation { target: floatShift; property: "y"; from: 4; to: -4; duration: 2500; easing.type: Easing.InOutSine }
                NumberAnimation { target: floatShift; property: "y"; from: -4; to: 4; duration: 2500; easing.type: Easing.InOutSine }
            }
            // The glow: green fading to clear from radius 20 to 55.
            Item {
                anchors.fill: parent
                Repeater {
                    model: 12
                    Rectangle {
                        required property int index
                        anchors.centerIn: parent
                        width: 110 - index * 7.5
                        height: width
                        radius: width / 2
                        color: Theme.tint(Theme.green, 0.018 + (zone.isTargeted ? 0.012 : 0))
                    }
                }
            }
            Shape {
                anchors.centerIn: parent
                width: 68; height: 68
                ShapePath {
                    strokeColor: Theme.tint(Theme.green, 0.5)
                    strokeWidth: 1
                    strokeStyle: ShapePath.DashLine
                    dashPattern: [3, 3]
                    fillColor: Theme.tint(Theme.windowBackground, 0.6)
                    startX: 34; startY: 0.5
                    PathArc { x: 34; y: 67.5; radiusX: 33.5; radiusY: 33.5 }
                    PathArc { x: 34; y: 0.5; radiusX: 33.5; radiusY: 33.5 }
                }
            }
            Icon {
                id: symbol
                objectName: "dropSymbol"
                anchors.centerIn: parent
                name: zone.isTargeted ? "arrow-circle-down-fill" : "images"
                color: zone.isTargeted ? Theme.green : Theme.secondary
                size: 30
                scale: zone.isTargeted ? 1.15 : 1
                Behavior on scale { SpringAnimation { spring: 5; damping: 0.25 } }
            }
        }

        Column {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 6
            Text {
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                anchors.horizontalCenter: parent.horizontalCenter
                text: qsTr("Drop images here")
                font.pixelSize: 28
                font.bold: true
                color: zone.isTargeted ? Theme.primary : Theme.secondary
                Behavior on color { ColorAnimation { duration: 250; easing.type: Easing.InOutQuad } }
            }
            Text {
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                anchors.horizontalCenter: parent.horizontalCenter
                text: qsTr("or browse to select files and folders")
                font.pixelSize: 13
                color: Theme.muted
            }
        }

        Rectangle {
            objectName: "browseButton"
            anchors.horizontalCenter: parent.horizontalCenter
            width: browseRow.implicitWidth + 48
            height: browseRow.implicitHeight + 20
            radius: 8
            color: browseArea.pressed ? Theme.tint(Theme.primary, 0.1)
                                      : browseArea.containsMouse ? Theme.tint(Theme.primary, 0.05) : "transparent"
            border.color: Theme.separator
            activeFocusOnTab: true
            Accessible.role: Accessible.Button
            Accessible.name: qsTr("Browse")
            Accessible.description: qsTr("Choose images or folders to optimize (Ctrl+O)")
            Accessible.onPressAction: zone.browse()
            Keys.onPressed: event => browseRing.press(event, () => zone.browse())
            FocusRing { id: browseRing }
            Row {
                id: browseRow
                anchors.centerIn: parent
                spacing: 6
                Icon { name: "folder"; size: 13; color: Theme.primary; anchors.verticalCenter: parent.verticalCenter }
                Text { text: qsTr("Browse"); font.pixelSize: 13; font.weight: Font.Medium; color: Theme.primary }
            }
            MouseArea { id: browseArea; anchors.fill: parent; hoverEnabled: true; onClicked: zone.browse() }
        }

        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 4
            Repeater {
                model: mainView.formats
                FormatLabel { required property string modelData; text: modelData }
            }
        }
    }

    Text {
        anchors { bottom: parent.bottom; bottomMargin: 16 + 16; horizontalCenter: parent.horizontalCenter }
        text: qsTr("Ctrl+O to browse")
        font.pixelSize: 11
        color: Theme.muted
    }
}
