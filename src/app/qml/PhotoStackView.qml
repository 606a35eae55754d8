// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls
import PresslyPro

// The jobs as photo cards: a pile of the latest, a grid of all, or one
// enlarged. Reads the jobs only.
Item {
    id: stack
    objectName: "photoStack"
    property var model
    // For the line above the pile: whether a batch runs and how many failed.
    property var jobQueue: null
    property int failedCount: 0
    property bool isFannedOut: false
    // The row of the enlarged job, -1 for none.
    property int heroRow: -1
    readonly property var stackRotations: [-3.0, 2.2, -1.5, 2.8, -1.0, 1.8, -2.5, 1.2, -2.0, 2.5]
    readonly property int jobCount: model ? model.count : 0
    readonly property alias zoom: heroZoom

    function openHero(row) { heroZoom.reset(); heroRow = row }
    function closeHero() { heroRow = -1; heroZoom.reset(); if (gridLoader.item) gridLoader.item.takeFocus() }
    onIsFannedOutChanged: if (!isFannedOut && heroRow < 0) pileArea.forceActiveFocus()

    HeroZoom { id: heroZoom }

    Text {
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        id: summary
        objectName: "batchSummary"
        anchors { left: parent.left; top: parent.top; margins: 20 }
        visible: !stack.isFannedOut
        text: !stack.jobQueue ? ""
              : stack.jobQueue.isProcessing ? qsTr("Optimizing…")
              : stack.failedCount > 0 ? qsTr("%Ln files could not be optimized — open the marked cards to see why.",
                                             "", stack.failedCount)
              : qsTr("Done.")
        font.pixelSize: 13
        color: stack.jobQueue && !stack.jobQueue.isProcessing && stack.failedCount > 0 ? Theme.red : Theme.secondary
    }

    // A scope, so that a card given the keyboard by an arrow leaves the pile's ring on.
    FocusScope {
        id: pileArea
        objectName: "pile"
        anchors.centerIn: parent
        anchors.verticalCenterOffset: -14
        width: 280
        height: 380
        opacity: stack.isFannedOut ? 0 : 1
        scale: stack.isFannedOut ? 1.08 : 1
        visible: opacity > 0
        Behavior on opacity { SpringAnimation { spring: 2.5; damping: 0.4; epsilon: 0.01 } }
        Behavior on scale { SpringAnimation { spring: 2.5; damping: 0.4; epsilon: 0.005 } }
        activeFocusOnTab: !stack.isFannedOut
        Accessible.role: Accessible.List
        Accessible.name: qsTr("Latest photos")
        Accessible.description: qsTr("Enter shows all photos")
        // The card the arrows have reached, -1 before any: a screen reader then reads it.
        property int current: -1
        Keys.onPressed: event => {
            const top = pileCards.count - 1
            const back = event.key === Qt.Key_Left || event.key === Qt.Key_Up
            const on = event.key === Qt.Key_Right || event.key === Qt.Key_Down
            // The first arrow reaches the card on top, the one in sight.
            if (back || on)
                current = current < 0 ? top : current + (on ? 1 : -1)
            else if (event.key === Qt.Key_Home || event.key === Qt.Key_End)
                current = event.key === Qt.Key_Home ? 0 : top
            else
                return pileRing.press(event, () => stack.isFannedOut = true)
            current = Math.min(top, Math.max(0, current))
            event.accepted = true
        }
        FocusRing { id: pileRing; gap: 8 }

        Repeater {
            id: pileCards
            objectName: "pileCards"
            model: RowWindowModel { id: tail; source: stack.model; limit: 10; pace: 250 }
            delegate: PhotoCard {
                required property int index
                required property var model
                readonly property int jobRow: tail.offset + index
                objectName: "pileCard"
                width: 240
                height: 320
                x: (pileArea.width - width) / 2 + 1.5 * index
                y: (pileArea.height - height) / 2 - 3 * index
                rotation: stack.stackRotations[index % 10] ?? 0
                fileURL: model.fileURL
                statusText: model.statusText
                savingsText: model.savingsText
                originalSize: model.originalSize
                optimizedSize: model.optimizedSize
                restored: model.restored
                batchRunning: stack.jobQueue ? stack.jobQueue.isProcessing : false
                pictureSide: 320
                onTapped: stack.isFannedOut = true
                fileName: model.fileName
                errorText: model.errorText
                focus: index === pileArea.current
                Accessible.role: Accessible.ListItem
                Accessible.name: spokenName
                Accessible.onPressAction: stack.isFannedOut = true
            }
        }
    }
    Text {
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        objectName: "pileLabel"
        anchors { top: pileArea.bottom; topMargin: 22; horizontalCenter: pileArea.horizontalCenter }
        visible: pileArea.visible && stack.heroRow < 0
        opacity: pileArea.opacity
        text: qsTr("%Ln photos", "", stack.jobCount)
        font.pixelSize: 13
        color: Theme.secondary
    }

    Loader {
        id: gridLoader
        anchors.fill: parent
        asynchronous: true
        active: stack.isFannedOut
        opacity: stack.isFannedOut ? 1 : 0
        visible: opacity > 0
        Behavior on opacity { SpringAnimation { spring: 2.5; damping: 0.4; epsilon: 0.01 } }
        // An item can only take the keyboard once it shows.
        onLoaded: if (visible) item.takeFocus()
        onVisibleChanged: if (visible && item) item.takeFocus()
        sourceComponent: PhotoGrid {
            model: stack.model
            batchRunning: stack.jobQueue ? stack.jobQueue.isProcessing : false
            onCollapse: stack.isFannedOut = false
            onOpen: row => stack.openHero(row)
        }
    }

    Loader {
        id: heroLoader
        anchors.fill: parent
        asynchronous: true
        active: stack.heroRow >= 0
        onLoaded: item.forceActiveFocus()
        sourceComponent: HeroView {
            model: stack.model
            row: stack.heroRow
            zoom: heroZoom
            onClose: stack.closeHero()
        }
    }
}
