// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// One job as a photo: its picture, savings caption, a turning ring while it
// runs and a badge once it has ended.
Item {
    id: card
    property url fileURL
    property string statusText
    property string savingsText
    property var originalSize: 0
    property var optimizedSize
    property bool restored: false
    // While a batch runs a waiting job is just queued; once it is over, the job was left out.
    property bool batchRunning: false
    property int pictureSide: 240
    property bool appearAnimated: true
    property int appearDelay: 0
    property bool isAppeared: false
    readonly property bool saved: statusText === "completed" && optimizedSize !== undefined
                                  && originalSize >= 1 && optimizedSize < originalSize
    readonly property bool showCheckmark: saved && !restored
    readonly property bool isSpinning: statusText === "processing"
    readonly property bool leftOut: !batchRunning && (statusText === "pending" || statusText === "cancelled")
    readonly property alias pictureStatus: picture.status
    property string fileName
    property string errorText
    // The file and its outcome, as a screen reader names the card.
    readonly property string spokenName: {
        // Written as ByteCountFormatter writes sizes: the user's locale, decimal units.
        const bytes = size => Qt.locale().formattedDataSize(size, 1, Locale.DataSizeSIFormat)
        const outcome = restored ? qsTr("restored")
                        : saved ? qsTr("%1 to %2, %3 smaller").arg(bytes(originalSize)).arg(bytes(optimizedSize))
                                  .arg(savingsText)
                        : statusText === "completed" ? qsTr("already as small as it gets")
                        : statusText === "failed" ? qsTr("failed: %1").arg(errorText)
                        : statusText === "processing" ? qsTr("optimizing")
                        : leftOut ? (statusText === "cancelled" ? qsTr("stopped") : qsTr("not started"))
                        : qsTr("waiting")
        return qsTr("%1, %2").arg(fileName).arg(outcome)
    }
    signal tapped()

    scale: isAppeared ? 1 : 0.3
    Behavior on scale {
        enabled: card.appearAnimated
        SpringAnimation { spring: 3.2; damping: 0.32; epsilon: 0.005 }
    }
    Component.onCompleted: {
        if (!appearAnimated || appearDelay <= 0)
            isAppeared = true
        else
            appearTimer.start()
    }
    Timer { id: appearTimer; interval: card.appearDelay; onTriggered: card.isAppeared = true }

    // A soft shadow under the print.
    Rectangle {
        anchors.fill: frame
        anchors { topMargin: 3; leftMargin: 1; rightMargin: -1; bottomMargin: -4 }
        radius: 10
        color: Qt.rgba(0, 0, 0, Theme.dark ? 0.4 : 0.16)
    }
    Rectangle {
        id: frame
        anchors.fill: parent
        radius: 10
        color: Theme.dark ? "#3a3a3c" : "#ffffff"
        border.color: Qt.rgba(1, 1, 1, Theme.dark ? 0.18 : 0)
        border.width: 0.5

        Rectangle {
            id: well
            anchors.fill: parent
            anchors.margins: 6
            radius: 5
            // No clip: a cropped picture keeps to its bounds by itself, and a clip on a
            // turned card costs a stencil pass per card in every frame.
            color: Theme.tint(Theme.primary, 0.06)

            Image {
                id: picture
                objectName: "cardPicture"
                opacity: card.leftOut ? 0.45 : 1
                // Icons and other small images are shown whole, at most three times their size. The
                // fill mode stays put: changing it reloads the picture and resets its implicit size,
                // which fed back into `small` (a binding loop, and a reload for every flip).
                // A drawing comes drawn at the card's size (see PictureDecoder) and is shown whole.
                readonly property bool vector: /\.svgz?$/i.test(String(card.fileURL))
                readonly property bool small: vector
                                              || implicitWidth * 1.5 < parent.width && implicitHeight * 1.5 < parent.height
                readonly property real fit: small ? Math.min(parent.width / implicitWidth, parent.height / implicitHeight,
                                                             vector ? 1 : 3) : 1
                anchors.centerIn: parent
                width: small ? implicitWidth * fit : parent.width
                height: small ? implicitHeight * fit : parent.height
                fillMode: Image.PreserveAspectCrop
                asynchronous: true
                cache: false
                sourceSize: Qt.size(card.pictureSide, card.pictureSide)
                // The state is part of the address, so the card reloads once the file was replaced.
                source: String(card.fileURL) ? "image://picture/" + encodeURIComponent(String(card.fileURL))
                                               + "#" + card.statusText + (card.restored ? "-restored" : "") : ""
            }
            Icon {
                objectName: "cardPlaceholder"
                anchors.centerIn: parent
                size: 28
                visible: picture.status !== Image.Ready
                name: picture.status === Image.Error ? "warning" : "image"
                color: picture.status === Image.Error ? Theme.orange : Theme.secondary
            }
            Rectangle {
                anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
                height: Math.min(parent.height / 2, 44)
                visible: caption.text !== ""
                gradient: Gradient {
                    GradientStop { position: 0; color: "transparent" }
                    GradientStop { position: 1; color: Qt.rgba(0, 0, 0, 0.62) }
                }
                Text {
                    id: caption
                    anchors { left: parent.left; bottom: parent.bottom; margins: 8 }
                    objectName: "cardCaption"
                    text: card.restored ? qsTr("Restored")
                          : card.leftOut ? (card.statusText === "cancelled" ? qsTr("Stopped") : qsTr("Not started"))
                          : card.savingsText
                    color: "white"
                    font.pixelSize: 12
                    font.weight: Font.DemiBold
                }
            }
        }
    }

    Loader {
        anchors.centerIn: parent
        active: card.isSpinning
        sourceComponent: ProgressRing { size: Math.min(card.width, card.height) * 0.42 }
    }

    Badge {
        objectName: "checkBadge"
        anchors { right: parent.right; top: parent.top; margins: 10 }
        shown: card.showCheckmark
        name: "check-circle-fill"
        color: Theme.green
    }
    Badge {
        objectName: "failBadge"
        anchors { right: parent.right; top: parent.top; margins: 10 }
        shown: card.statusText === "failed"
        name: "x-circle-fill"
        color: Theme.red
    }

    TapHandler { onTapped: card.tapped() }
}
