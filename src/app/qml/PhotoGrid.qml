// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls
import QtQuick.Window

// Every job as a card, in list order, in as many columns as fit.
Item {
    id: gridView
    property var model
    // The cards there when the grid opens come in one after another.
    property bool entering: true
    property bool batchRunning: false
    signal collapse()
    signal open(int row)
    function takeFocus() { grid.forceActiveFocus() }

    Timer { running: true; interval: 900; onTriggered: gridView.entering = false }

    Row {
        id: header
        anchors { left: parent.left; right: parent.right; top: parent.top; margins: 20 }
        height: collapseButton.implicitHeight
        spacing: 12
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: qsTr("%Ln photos", "", gridView.model ? gridView.model.count : 0)
            font.pixelSize: 15
            font.weight: Font.DemiBold
            color: Theme.primary
        }
    }
    PillButton {
        id: collapseButton
        objectName: "collapseButton"
        anchors { right: parent.right; top: parent.top; margins: 16 }
        text: qsTr("Collapse")
        symbol: "arrows-in-line-vertical"
        onClicked: gridView.collapse()
    }

    GridView {
        id: grid
        objectName: "photoGrid"
        anchors { left: parent.left; right: parent.right; top: collapseButton.bottom; bottom: parent.bottom
                  leftMargin: 20; rightMargin: 4; topMargin: 12 }
        // Cards grow with the window (150 px at least, a tenth of a wide grid), so a large screen
        // shows larger pictures instead of small ones in blank space.
        readonly property real idealCard: Math.max(150, (width - 16) / 10 - 16)
        readonly property int columns: Math.max(1, Math.floor((width - 16 + 16) / (idealCard + 16)))
        readonly property int cardWidth: cellWidth - 16
        readonly property int cardHeight: Math.round(cardWidth * 16 / 15)
        cellWidth: Math.floor((width - 16) / columns)
        cellHeight: cardHeight + 16 + 18
        clip: true
        reuseItems: true
        cacheBuffer: cellHeight
        model: gridView.model
        focus: true
        activeFocusOnTab: true
        keyNavigationEnabled: true
        Accessible.role: Accessible.List
        Accessible.name: qsTr("Photos")
        // Home and End reach the first and last card however many there are.
        Keys.onPressed: event => {
            if (event.key === Qt.Key_End) {
                grid.currentIndex = grid.count - 1
                grid.positionViewAtEnd()
            } else if (event.key === Qt.Key_Home) {
                grid.currentIndex = 0
                grid.positionViewAtBeginning()
            } else {
                return
            }
            event.accepted = true
        }
        Keys.onReturnPressed: if (grid.currentIndex >= 0) gridView.open(grid.currentIndex)
        Keys.onEnterPressed: if (grid.currentIndex >= 0) gridView.open(grid.currentIndex)
        Keys.onSpacePressed: if (grid.currentIndex >= 0) gridView.open(grid.currentIndex)
        ScrollBar.vertical: ScrollBar {
            objectName: "gridScrollBar"
            policy: grid.contentHeight > grid.height ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded
        }
        delegate: Item {
            id: cell
            required property int index
            required property var model
            width: grid.cellWidth
            height: grid.cellHeight
            Accessible.role: Accessible.ListItem
            Accessible.name: gridCard.spokenName
            Accessible.onPressAction: gridView.open(cell.index)
            PhotoCard {
                id: gridCard
                fileName: cell.model.fileName
                errorText: cell.model.errorText
                objectName: "gridCard"
                width: grid.cardWidth
                height: grid.cardHeight
                appearDelay: gridView.entering ? 40 * cell.index : 0
                fileURL: cell.model.fileURL
                statusText: cell.model.statusText
                savingsText: cell.model.savingsText
                originalSize: cell.model.originalSize
                optimizedSize: cell.model.optimizedSize
                restored: cell.model.restored
                batchRunning: gridView.batchRunning
                // Decoded for the card's size, in steps so that resizing the window reloads little.
                pictureSide: Math.max(240, Math.ceil(grid.cardHeight * Screen.devicePixelRatio / 80) * 80)
                onTapped: gridView.open(cell.index)
            }
            Item {
                width: grid.cardWidth
                height: grid.cardHeight + 18
                // Inside the cell: the grid clips whatever reaches beyond it.
                FocusRing { shown: grid.activeFocus && grid.currentIndex === cell.index; radius: 12; gap: 0 }
            }
            Text {
                id: nameText
                objectName: "gridCardName"
                // Elided a little inside the card: a rounded glyph width let it reach past the edge.
                anchors { left: parent.left; leftMargin: 3; top: parent.top; topMargin: grid.cardHeight + 4 }
                width: grid.cardWidth - 6
                text: cell.model.fileName
                elide: Text.ElideMiddle
                horizontalAlignment: Text.AlignHCenter
                font.pixelSize: 11
                color: Theme.secondary
            }
        }
    }
}
