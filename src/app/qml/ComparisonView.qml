// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// The original and the optimized file, one over the other; the divider the
// user drags shows the original left of it and the optimized file right.
Item {
    id: comparison
    objectName: "comparison"
    property url before
    property url after
    property string afterState
    property real split: 0.5
    clip: true

    function source(url, tag) {
        return String(url) ? "image://picture/" + encodeURIComponent(String(url)) + "#" + tag : ""
    }

    Image {
        id: afterPicture
        objectName: "afterPicture"
        anchors.fill: parent
        fillMode: Image.PreserveAspectFit
        asynchronous: true
        cache: false
        sourceSize: Qt.size(1600, 1600)
        source: comparison.source(comparison.after, comparison.afterState)
    }
    Item {
        anchors { left: parent.left; top: parent.top; bottom: parent.bottom }
        width: comparison.width * comparison.split
        clip: true
        Image {
            objectName: "beforePicture"
            width: comparison.width
            height: comparison.height
            fillMode: Image.PreserveAspectFit
            asynchronous: true
            cache: false
            sourceSize: Qt.size(1600, 1600)
            source: comparison.source(comparison.before, "original")
        }
    }
    Rectangle {
        id: divider
        objectName: "divider"
        x: comparison.width * comparison.split - width / 2
        y: (comparison.height - afterPicture.paintedHeight) / 2
        width: 2
        height: afterPicture.paintedHeight
        color: "white"
        Rectangle {
            anchors.centerIn: parent
            width: 28
            height: 28
            radius: 14
            color: "white"
            border.color: Qt.rgba(0, 0, 0, 0.25)
            Text { anchors.centerIn: parent; text: "‹ ›"; font.pixelSize: 13; font.bold: true; color: "#333333" }
        }
    }
    MouseArea {
        objectName: "dividerHandle"
        anchors.fill: parent
        cursorShape: Qt.SplitHCursor
        onPressed: mouse => comparison.split = Math.max(0, Math.min(1, mouse.x / width))
        onPositionChanged: mouse => comparison.split = Math.max(0, Math.min(1, mouse.x / width))
        activeFocusOnTab: true
        // Read by screen readers as the slider's value, in percent; read-only, so that a
        // reader writing it cannot cut its tie to the divider.
        readonly property int value: Math.round(comparison.split * 100)
        readonly property int minimumValue: 0
        readonly property int maximumValue: 100
        readonly property int stepSize: 5
        function step(by) { comparison.split = Math.max(0, Math.min(1, comparison.split + by)) }
        Accessible.role: Accessible.Slider
        // The position is in the name too: a changed name is announced, a changed value of
        // an item of ours is not.
        Accessible.name: qsTr("Divider between original and optimized: %1%").arg(value)
        Accessible.description: qsTr("Left and Right move it")
        Accessible.onIncreaseAction: step(0.05)
        Accessible.onDecreaseAction: step(-0.05)
        Keys.onLeftPressed: step(-0.05)
        Keys.onRightPressed: step(0.05)
        FocusRing { gap: -2 }
    }
    Repeater {
        model: [{ text: qsTr("Original"), left: true }, { text: qsTr("Optimized"), left: false }]
        Rectangle {
            required property var modelData
            readonly property real inset: (comparison.width - afterPicture.paintedWidth) / 2 + 10
            y: (comparison.height - afterPicture.paintedHeight) / 2 + 10
            x: modelData.left ? inset : comparison.width - width - inset
            width: label.implicitWidth + 16
            height: label.implicitHeight + 8
            radius: height / 2
            color: Qt.rgba(0, 0, 0, 0.55)
            Text { id: label; anchors.centerIn: parent; text: modelData.text; color: "white"; font.pixelSize: 11 }
        }
    }
}
