// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls

ApplicationWindow {
    id: window
    objectName: "mainWindow"
    title: "Pressly Pro"
    width: 1100
    height: 720
    minimumWidth: 900
    minimumHeight: 650
    visible: true
    color: Theme.windowBackground
    // The Basic style keeps light colours of its own unless given the system's.
    palette {
        window: Theme.system.window; windowText: Theme.system.windowText
        base: Theme.system.base; alternateBase: Theme.system.alternateBase; text: Theme.system.text
        button: Theme.system.button; buttonText: Theme.system.buttonText
        highlight: Theme.system.highlight; highlightedText: Theme.system.highlightedText
        light: Theme.system.light; midlight: Theme.system.midlight; mid: Theme.system.mid
        dark: Theme.system.dark; shadow: Theme.system.shadow; placeholderText: Theme.system.placeholderText
        toolTipBase: Theme.surface; toolTipText: Theme.primary
    }
    // The colours above are set for every group, so a disabled item looked enabled; set after
    // them (and again when the system's colours change), or they would overwrite these.
    function muteDisabled() {
        for (const role of ["windowText", "text", "buttonText", "highlightedText"])
            palette.disabled[role] = Theme.tertiary
    }
    Component.onCompleted: muteDisabled()
    Connections { target: Theme; function onTertiaryChanged() { Qt.callLater(window.muteDisabled) } }

    onClosing: close => {
        close.accepted = false
        mainView.requestQuit()
    }

    menuBar: MenuBar {
        // Screen readers would read the mnemonic's ampersand.
        delegate: MenuBarItem { Accessible.name: text.replace(/&(.)/g, "$1") }
        Menu {
            title: qsTr("&File")
            Action { text: qsTr("Add Files…"); shortcut: "Ctrl+O"; onTriggered: mainView.browseForFiles() }
            Action { text: qsTr("Add Folder…"); shortcut: "Ctrl+Shift+O"; onTriggered: mainView.browseForFolder() }
            MenuSeparator {}
            Action { text: qsTr("Quit"); shortcut: "Ctrl+Q"; onTriggered: mainView.requestQuit() }
        }
        Menu {
            title: qsTr("&Help")
            Action { text: qsTr("About Pressly Pro"); onTriggered: mainView.showAbout() }
            Action {
                objectName: "checkForUpdatesAction"
                text: qsTr("Check for Updates...")
                enabled: updater.canCheckForUpdates
                onTriggered: updater.checkForUpdates()
            }
        }
    }

    Sidebar {
        id: sidebar
        anchors { left: parent.left; top: parent.top; bottom: parent.bottom }
    }

    Item {
        id: contentArea
        objectName: "contentArea"
        anchors { left: sidebar.right; right: statsPanel.left; top: parent.top; bottom: intakeNotice.top }

        readonly property int page: mainView.selectedTab !== 0 ? mainView.selectedTab + 1
                                    : mainView.jobs.count > 0 ? 1 : 0

        Repeater {
            model: [dropZone, resultList, statistics, settings]
            Loader {
                required property int index
                required property var modelData
                objectName: ["dropZonePage", "filesPage", "statisticsPage", "settingsPage"][index]
                anchors.fill: parent
                sourceComponent: modelData
                // Built over several frames, so a page's first appearance never freezes a frame.
                // The drop zone is built at once so the window opens with it, and so are the small
                // settings: built over frames, their rows of repeated cards were at times left unarranged.
                asynchronous: index === 1 || index === 2
                active: opacity > 0 || contentArea.page === index
                opacity: contentArea.page === index ? 1 : 0
                visible: opacity > 0
                Behavior on opacity { NumberAnimation { duration: 300; easing.type: Easing.OutCubic } }
            }
        }

        AddMoreOverlay {
            anchors.fill: parent
            objectName: "addMoreOverlay"
            opacity: mainView.isDropTargeted && mainView.selectedTab === 0 && mainView.jobs.count > 0 ? 1 : 0
            visible: opacity > 0
        }
    }

    Component { id: dropZone; DropZoneView { onBrowse: mainView.browseForFiles() } }
    Component {
        id: resultList
        PhotoStackView { model: mainView.jobs; jobQueue: mainView.jobQueue; failedCount: mainView.failedCount }
    }
    Component { id: statistics; StatisticsDashboardView { dashboard: mainView.dashboard } }
    Component { id: settings; SettingsPane {} }

    // Beside the files only; slides out to the right edge on the other tabs.
    StatsPanelView {
        id: statsPanel
        objectName: "statsPanel"
        readonly property bool shown: mainView.selectedTab === 0
        stats: mainView.statsPanel
        // Wider on a large window, as the grid's cards grow.
        width: Math.round(Math.min(320, Math.max(210, window.width * 0.12)))
        anchors { top: parent.top; bottom: intakeNotice.top; right: parent.right; rightMargin: shown ? 0 : -width }
        opacity: shown ? 1 : 0
        visible: opacity > 0
        Behavior on anchors.rightMargin { NumberAnimation { duration: 300; easing.type: Easing.OutCubic } }
        Behavior on opacity { NumberAnimation { duration: 300; easing.type: Easing.OutCubic } }
    }

    // A drop that brought no image: nothing was asked, so say why nothing happens.
    Rectangle {
        id: intakeNotice
        objectName: "intakeNotice"
        anchors { left: sidebar.right; right: parent.right; bottom: notice.top }
        height: mainView.intakeNotice ? intakeText.implicitHeight + 20 : 0
        visible: height > 0
        color: Theme.tint(Theme.secondary, 0.12)
        Accessible.role: Accessible.AlertMessage
        Accessible.name: mainView.intakeNotice
        Icon {
            id: intakeIcon
            anchors { left: parent.left; leftMargin: 14; verticalCenter: parent.verticalCenter }
            name: "info"; size: 16; color: Theme.secondary
        }
        Text {
            id: intakeText
            objectName: "intakeNoticeText"
            anchors { left: intakeIcon.right; leftMargin: 8; right: intakeDismiss.left; rightMargin: 8
                      verticalCenter: parent.verticalCenter }
            text: mainView.intakeNotice
            wrapMode: Text.WordWrap
            font.pixelSize: 12
            color: Theme.primary
        }
        Button {
            id: intakeDismiss
            anchors { right: parent.right; rightMargin: 10; verticalCenter: parent.verticalCenter }
            text: qsTr("Dismiss")
            Accessible.name: qsTr("Dismiss notice")
            onClicked: mainView.dismissIntakeNotice()
        }
    }

    // A tool the engine could not find, told once.
    Rectangle {
        id: notice
        objectName: "toolNotice"
        anchors { left: sidebar.right; right: parent.right; bottom: parent.bottom }
        height: toolNotices.text ? noticeText.implicitHeight + 20 : 0
        visible: height > 0
        color: Theme.tint(Theme.orange, 0.18)
        Accessible.role: Accessible.AlertMessage
        Accessible.name: toolNotices.text
        Icon {
            id: noticeIcon
            anchors { left: parent.left; leftMargin: 14; verticalCenter: parent.verticalCenter }
            name: "warning"; size: 16; color: Theme.orange
        }
        Text {
            id: noticeText
            anchors { left: noticeIcon.right; leftMargin: 8; right: dismiss.left; rightMargin: 8
                      verticalCenter: parent.verticalCenter }
            text: toolNotices.text
            wrapMode: Text.WordWrap
            font.pixelSize: 12
            color: Theme.primary
        }
        Button {
            id: dismiss
            anchors { right: parent.right; rightMargin: 10; verticalCenter: parent.verticalCenter }
            text: qsTr("Dismiss")
            onClicked: toolNotices.dismiss()
        }
    }

    DropArea {
        objectName: "dropTarget"
        anchors.fill: parent
        onEntered: drag => {
            if (!drag.hasUrls) { drag.accepted = false; return }
            drag.accept(Qt.CopyAction)
            mainView.isDropTargeted = true
        }
        onExited: mainView.isDropTargeted = false
        onDropped: drop => {
            mainView.handleDrop(drop.urls)
            drop.accept(Qt.CopyAction)
        }
    }
}
