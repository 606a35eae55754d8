// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls
import PresslyPro

// One job enlarged over the dimmed stack: zoom and pan, its outcome, and
// what can be done with the file.
Item {
    id: hero
    objectName: "heroView"
    property var model
    property int row: -1
    property HeroZoom zoom
    property bool comparing: false
    signal close()

    NumberAnimation on opacity { from: 0; to: 1; duration: 250; easing.type: Easing.OutCubic }

    Shortcut { sequence: "Escape"; onActivated: hero.close() }
    Accessible.role: Accessible.Dialog
    Accessible.name: qsTr("Enlarged photo")

    Rectangle {
        objectName: "heroBackdrop"
        anchors.fill: parent
        color: Qt.rgba(0, 0, 0, 0.6)
        MouseArea { anchors.fill: parent; onClicked: hero.close() }
        Accessible.role: Accessible.Button
        Accessible.name: qsTr("Close enlarged view")
        Accessible.description: qsTr("Escape")
        Accessible.onPressAction: hero.close()
    }

    Repeater {
        model: RowWindowModel { id: one; source: hero.model; first: hero.row; limit: 1 }
        delegate: Item {
            id: job
            required property var model
            readonly property bool completed: model.statusText === "completed"
            readonly property bool failed: model.statusText === "failed"
            readonly property bool saved: completed && !model.restored && model.optimizedSize !== undefined && model.originalSize >= 1
                                          && model.optimizedSize < model.originalSize
            // In place the original waits in the Trash; in export mode the copy is elsewhere.
            readonly property bool canRestore: completed && !model.restored && String(model.revertLocation) !== ""
            readonly property bool exported: completed && String(model.exportedLocation) !== ""
            readonly property bool canCompare: canRestore || exported
            width: hero.width
            height: hero.height

            Item {
                id: pictureArea
                objectName: "heroPictureArea"
                anchors { left: parent.left; right: parent.right; top: parent.top; bottom: panel.top
                          margins: 36; bottomMargin: 14 }
                clip: true
                visible: !hero.comparing
                Accessible.role: Accessible.Graphic
                Accessible.name: job.model.fileName

                Item {
                    id: zoomed
                    objectName: "heroZoomed"
                    width: pictureArea.width
                    height: pictureArea.height
                    property real shownZoom: hero.zoom.zoomScale
                    Behavior on shownZoom { NumberAnimation { duration: 160; easing.type: Easing.OutCubic } }
                    scale: shownZoom
                    x: hero.zoom.panOffset.x
                    y: hero.zoom.panOffset.y
                    Behavior on x { enabled: !drag.pressed; NumberAnimation { duration: 200; easing.type: Easing.OutCubic } }
                    Behavior on y { enabled: !drag.pressed; NumberAnimation { duration: 200; easing.type: Easing.OutCubic } }
                    Image {
                        id: picture
                        objectName: "heroPicture"
                        anchors.fill: parent
                        fillMode: Image.PreserveAspectFit
                        asynchronous: true
                        cache: false
                        sourceSize: Qt.size(1600, 1600)
                        source: "image://picture/" + encodeURIComponent(String(job.model.fileURL)) + "#"
                                + job.model.statusText + (job.model.restored ? "-restored" : "")
                    }
                }
                Rectangle {
                    anchors.centerIn: parent
                    width: 280
                    height: 200
                    radius: 12
                    visible: picture.status !== Image.Ready
                    color: Theme.surface
                    Column {
                        anchors.centerIn: parent
                        spacing: 10
                        Icon {
                            objectName: "heroPlaceholder"
                            anchors.horizontalCenter: parent.horizontalCenter
                            size: 48
                            name: picture.status === Image.Error ? "warning" : "image"
                            color: picture.status === Image.Error ? Theme.orange : Theme.secondary
                        }
                        Text {
                            anchors.horizontalCenter: parent.horizontalCenter
                            text: picture.status === Image.Error ? qsTr("No preview") : qsTr("Loading…")
                            font.pixelSize: 13
                            color: Theme.secondary
                        }
                    }
                }
                ZoomSurface {
                    id: drag
                    objectName: "heroGestures"
                    anchors.fill: parent
                    zoom: hero.zoom
                }
            }

            Loader {
                anchors.fill: pictureArea
                active: hero.comparing && job.canCompare
                sourceComponent: ComparisonView {
                    before: job.exported ? job.model.fileURL : job.model.revertLocation
                    after: job.exported ? job.model.exportedLocation : job.model.fileURL
                    afterState: job.model.statusText
                }
            }

            Rectangle {
                id: panel
                objectName: "heroPanel"
                anchors { horizontalCenter: parent.horizontalCenter; bottom: parent.bottom; bottomMargin: 24 }
                width: Math.min(parent.width - 72, Math.max(panelColumn.implicitWidth + 40, 420))
                height: panelColumn.implicitHeight + 28
                radius: 12
                color: Theme.tint(Theme.surface, 0.96)
                border.color: Theme.separator
                MouseArea { anchors.fill: parent } // clicks here do not close the view
                Column {
                    id: panelColumn
                    anchors.centerIn: parent
                    width: parent.width - 40
                    spacing: 8
                    Row {
                        anchors.horizontalCenter: parent.horizontalCenter
                        spacing: 10
                        Text {
                            Accessible.role: Accessible.StaticText
                            Accessible.name: text
                            objectName: "heroFileName"
                            text: job.model.fileName
                            font.pixelSize: 13
                            font.weight: Font.DemiBold
                            color: Theme.primary
                            elide: Text.ElideMiddle
                            width: Math.min(implicitWidth, panelColumn.width - savings.width - bytes.width - 20)
                        }
                        Text {
                            Accessible.role: Accessible.StaticText
                            Accessible.name: text
                            id: savings
                            objectName: "heroSavings"
                            visible: job.saved
                            text: job.saved ? job.model.savingsText : ""
                            font.pixelSize: 13
                            font.weight: Font.DemiBold
                            color: Theme.green
                        }
                        Text {
                            Accessible.role: Accessible.StaticText
                            Accessible.name: text
                            id: bytes
                            objectName: "heroSavedBytes"
                            visible: job.saved
                            text: job.saved ? qsTr("%1 saved").arg(resultActions.byteText(job.model.originalSize - job.model.optimizedSize))
                                              : ""
                            font.pixelSize: 13
                            color: Theme.secondary
                        }
                    }
                    Text {
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                        objectName: "heroError"
                        width: parent.width
                        visible: job.failed || job.model.restored
                        horizontalAlignment: Text.AlignHCenter
                        wrapMode: Text.WordWrap
                        text: job.failed ? job.model.errorText
                              : qsTr("Restored: the original is back in place and the optimized file is in the Trash.")
                        font.pixelSize: 12
                        color: job.failed ? Theme.red : Theme.secondary
                    }
                    Row {
                        anchors.horizontalCenter: parent.horizontalCenter
                        spacing: 8
                        ZoomBar {
                            zoom: hero.zoom
                            visible: !hero.comparing && picture.status !== Image.Error
                            enabled: picture.status === Image.Ready
                        }
                        PillButton {
                            objectName: "compareButton"
                            visible: job.canCompare
                            text: hero.comparing ? qsTr("Single View") : qsTr("Compare")
                            symbol: "git-diff"
                            onClicked: { hero.zoom.reset(); hero.comparing = !hero.comparing }
                        }
                        PillButton {
                            objectName: "restoreButton"
                            visible: job.canRestore
                            enabled: !resultActions.busy
                            text: qsTr("Restore Original")
                            symbol: "arrow-counter-clockwise"
                            onClicked: { hero.comparing = false; resultActions.restoreOriginal(hero.row) }
                        }
                        PillButton {
                            objectName: "showInFolderButton"
                            text: qsTr("Show in Folder")
                            symbol: "folder"
                            onClicked: resultActions.showInFolder(job.exported ? job.model.exportedLocation : job.model.fileURL)
                        }
                    }
                    Text {
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                        objectName: "heroMessage"
                        width: parent.width
                        visible: text !== ""
                        horizontalAlignment: Text.AlignHCenter
                        wrapMode: Text.WordWrap
                        text: resultActions.message
                        font.pixelSize: 12
                        color: Theme.secondary
                    }
                }
            }
        }
    }
    Component.onCompleted: resultActions.clearMessage()
}
