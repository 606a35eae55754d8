// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// Folders whose new images are optimized as they arrive, each with its own
// mode and preset, and one switch that pauses them all.
Rectangle {
    id: section
    objectName: "watchedFolders"
    required property var presets
    readonly property var folders: mainView.watchedFolders
    implicitHeight: column.implicitHeight + 32
    radius: 10
    color: Theme.surface
    border.color: Theme.separator
    border.width: 0.5
    Accessible.role: Accessible.Grouping
    Accessible.name: qsTr("Watched folders")

    ColumnLayout {
        id: column
        anchors { fill: parent; margins: 16 }
        spacing: 10

        RowLayout {
            Layout.fillWidth: true
            Text {
                Layout.fillWidth: true
                text: section.folders.count > 0
                      ? qsTr("New or changed images in these folders are optimized once they have settled.")
                      : qsTr("No watched folders. Add one to optimize the images that arrive in it.")
                wrapMode: Text.Wrap
                font.pixelSize: 12
                color: Theme.secondary
                Accessible.role: Accessible.StaticText
                Accessible.name: text
            }
            Switch {
                id: pauseSwitch
                objectName: "pauseWatching"
                text: qsTr("Pause all")
                font.pixelSize: 12
                enabled: section.folders.count > 0
                checked: section.folders.paused
                onToggled: section.folders.paused = checked
                Accessible.name: qsTr("Pause all watched folders")
                palette.dark: Theme.green
                palette.window: "white"
                FocusRing { shown: pauseSwitch.visualFocus }
            }
            Button {
                objectName: "addWatchedFolder"
                text: qsTr("Add Folder…", "watched folder")
                font.pixelSize: 12
                Accessible.name: qsTr("Add a folder to watch")
                onClicked: mainView.addWatchedFolder()
            }
        }

        Repeater {
            model: section.folders
            delegate: RowLayout {
                id: folderRow
                required property int index
                required property string path
                required property string name
                required property bool exporting
                required property string preset
                required property bool heldElsewhere
                required property string stateText
                objectName: "watchedFolder-" + name
                Layout.fillWidth: true
                spacing: 8
                Accessible.role: Accessible.Grouping
                Accessible.name: qsTr("Watched folder %1: %2").arg(path).arg(stateText)

                Icon { name: "folder"; size: 14; color: Theme.secondary }
                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 2
                    Text {
                        Layout.fillWidth: true
                        text: folderRow.path
                        elide: Text.ElideMiddle
                        font.pixelSize: 12
                        color: Theme.primary
                    }
                    Text {
                        objectName: "watchedFolderState"
                        Layout.fillWidth: true
                        text: folderRow.stateText
                        elide: Text.ElideRight
                        font.pixelSize: 11
                        color: folderRow.heldElsewhere ? Theme.orange : Theme.secondary
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                    }
                }
                ComboBox {
                    objectName: "watchedFolderMode"
                    font.pixelSize: 12
                    implicitContentWidthPolicy: ComboBox.WidestText
                    model: [qsTr("In place"), qsTr("Export folder")]
                    currentIndex: folderRow.exporting ? 1 : 0
                    onActivated: index => mainView.setWatchedFolderExporting(folderRow.index, index === 1)
                    Accessible.name: qsTr("Where optimized images of %1 go").arg(folderRow.name)
                }
                ComboBox {
                    objectName: "watchedFolderPreset"
                    font.pixelSize: 12
                    implicitContentWidthPolicy: ComboBox.WidestText
                    model: section.presets.map(p => p.title)
                    currentIndex: Math.max(0, section.presets.findIndex(p => p.raw === folderRow.preset))
                    onActivated: index => section.folders.setPreset(folderRow.index, section.presets[index].raw)
                    Accessible.name: qsTr("Compression for %1").arg(folderRow.name)
                }
                Button {
                    objectName: "removeWatchedFolder"
                    text: qsTr("Remove")
                    font.pixelSize: 12
                    Accessible.name: qsTr("Stop watching %1").arg(folderRow.name)
                    onClicked: section.folders.remove(folderRow.index)
                }
            }
        }
    }
}
