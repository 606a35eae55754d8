// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// Where optimized files go, how hard to compress, and updates.
ScrollView {
    id: pane
    objectName: "settingsPane"
    contentWidth: availableWidth
    clip: true

    readonly property var presets: [
        { raw: "lossless", title: qsTr("Lossless"), symbol: "rabbit",
          description: qsTr("Fast, no quality loss. Removes redundant data only.") },
        { raw: "balanced", title: qsTr("Balanced"), symbol: "scales",
          description: qsTr("Recommended. Good compression with minimal visible quality loss.") },
        { raw: "maximum", title: qsTr("Maximum"), symbol: "arrows-in-simple",
          description: qsTr("Smallest files. Slower, more aggressive compression.") }
    ]

    ColumnLayout {
        width: pane.availableWidth - 72
        x: 36
        spacing: 12

        Item { implicitHeight: 24 }
        Text { text: qsTr("Configuration"); font.pixelSize: 26; font.bold: true; color: Theme.primary }
        Text {
            text: qsTr("Choose where optimized files go and how hard to compress.")
            font.pixelSize: 13
            color: Theme.secondary
        }
        Text {
            objectName: "nextDropNotice"
            visible: mainView.jobQueue.isProcessing
            Layout.fillWidth: true
            text: qsTr("A batch is running: it keeps the settings it started with. Changes apply to the next images you add.")
            wrapMode: Text.Wrap
            font.pixelSize: 12
            color: Theme.secondary
            Accessible.role: Accessible.StaticText
            Accessible.name: text
        }

        SectionTitle { text: qsTr("Output"); Layout.topMargin: 14 }
        ModeCard {
            objectName: "modeOriginals"
            Layout.fillWidth: true
            symbol: "arrows-clockwise"
            title: qsTr("Optimize originals")
            description: qsTr("Replace files in place. Originals moved to Trash for undo.")
            selected: !mainView.exportMode
            onChosen: mainView.setOperationMode(0)
        }
        Switch {
            id: warnSwitch
            objectName: "warnSwitch"
            visible: !mainView.exportMode
            Layout.leftMargin: 20
            text: qsTr("Warn me before replacing files")
            font.pixelSize: 12
            checked: mainView.preferences.warnBeforeReplacing
            onToggled: mainView.preferences.warnBeforeReplacing = checked
            palette.windowText: Theme.secondary
            // The style draws an "on" track in the palette's grey; make on and off tell apart.
            palette.dark: Theme.green
            palette.window: "white"
            FocusRing { shown: warnSwitch.visualFocus }
        }
        ModeCard {
            objectName: "modeExport"
            Layout.fillWidth: true
            symbol: "folder-plus"
            title: qsTr("Export to folder")
            description: qsTr("Save optimized copies to a separate folder.")
            selected: mainView.exportMode
            onChosen: mainView.setOperationMode(1)
        }
        RowLayout {
            objectName: "folderRow"
            visible: mainView.exportMode
            // The row names its "Change" button's purpose.
            Accessible.role: Accessible.Grouping
            Accessible.name: qsTr("Export folder: %1").arg(mainView.folderRowText)
            Layout.leftMargin: 20
            Layout.fillWidth: true
            spacing: 8
            Icon { name: "folder"; size: 12; color: Theme.secondary }
            Text {
                objectName: "folderRowText"
                Layout.fillWidth: true
                text: mainView.folderRowText
                font.pixelSize: 12
                color: Theme.secondary
                elide: Text.ElideMiddle
            }
            Button { text: qsTr("Change"); font.pixelSize: 12; onClicked: mainView.changeExportFolder() }
        }

        SectionTitle { text: qsTr("Compression"); Layout.topMargin: 14 }
        RowLayout {
            Layout.fillWidth: true
            spacing: 10
            Repeater {
                model: pane.presets
                PresetCard {
                    required property int index
                    required property var modelData
                    objectName: "preset-" + modelData.raw
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    symbol: modelData.symbol
                    title: modelData.title
                    description: modelData.description
                    selected: mainView.presetIndex === index
                    onChosen: mainView.setPreset(modelData.raw)
                }
            }
        }

        SectionTitle { text: qsTr("Watched folders"); Layout.topMargin: 14 }
        WatchedFoldersSection { Layout.fillWidth: true; presets: pane.presets }

        SectionTitle { text: qsTr("Updates"); Layout.topMargin: 14 }
        Rectangle {
            Layout.fillWidth: true
            implicitHeight: updatesColumn.implicitHeight + 32
            radius: 10
            color: Theme.surface
            border.color: Theme.separator
            border.width: 0.5
            ColumnLayout {
                id: updatesColumn
                anchors { fill: parent; margins: 16 }
                spacing: 8
                Switch {
                    objectName: "autoUpdateSwitch"
                    text: qsTr("Automatically check for updates")
                    font.pixelSize: 13
                    enabled: updater.hasFeed
                    Accessible.name: text
                    // Off where no check can ever run; the stored choice is kept for a build with a feed.
                    checked: updater.hasFeed && updater.automaticallyChecksForUpdates
                    onToggled: updater.automaticallyChecksForUpdates = checked
                    palette.dark: enabled ? Theme.green : Theme.tertiary
                    palette.window: "white"
                    FocusRing { shown: parent.visualFocus }
                }
                RowLayout {
                    Layout.fillWidth: true
                    Text {
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                        Layout.fillWidth: true
                        text: qsTr("Version %1").arg(updater.versionText)
                        font.pixelSize: 12
                        color: Theme.secondary
                    }
                    Button {
                        objectName: "checkUpdatesButton"
                        text: qsTr("Check for Updates...")
                        font.pixelSize: 12
                        enabled: updater.canCheckForUpdates
                        Accessible.name: text
                        onClicked: updater.checkForUpdates()
                    }
                }
                Text {
                    objectName: "noUpdateFeed"
                    Layout.fillWidth: true
                    visible: !updater.hasFeed
                    text: updater.fromPackageManager
                          ? qsTr("Pressly Pro was installed by your system’s package manager, which keeps it up to date.")
                          : qsTr("Updates are not available in this build: it has no update address.")
                    font.pixelSize: 11
                    color: Theme.secondary
                    wrapMode: Text.WordWrap
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                }
            }
        }

        RowLayout {
            Layout.topMargin: 10
            spacing: 6
            Icon { name: "info"; size: 13; color: Theme.secondary }
            Text { text: qsTr("Supported formats:"); font.pixelSize: 11; color: Theme.secondary }
            Repeater {
                model: mainView.formats
                FormatLabel { required property string modelData; text: modelData; pixelSize: 10 }
            }
        }
        Item { implicitHeight: 20 }
    }
}
