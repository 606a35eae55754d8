import QtQuick
import QtQuick.Controls

// The jobs as a plain list: one row per file with its state, result or error.
Item {
    id: results

    Column {
        id: header
        anchors { left: parent.left; right: parent.right; top: parent.top; margins: 20 }
        spacing: 4
        Text {
            text: mainView.jobs.count + (mainView.jobs.count === 1 ? " photo" : " photos")
            font.pixelSize: 20
            font.bold: true
            color: Theme.primary
        }
        Text {
            objectName: "batchSummary"
            text: mainView.jobQueue.isProcessing ? "Optimizing…"
                  : mainView.failedCount > 0 ? mainView.failedCount + (mainView.failedCount === 1 ? " file" : " files")
                                               + " could not be optimized — see the marked rows below."
                  : "Done."
            font.pixelSize: 13
            color: !mainView.jobQueue.isProcessing && mainView.failedCount > 0 ? Theme.red : Theme.secondary
        }
    }

    ListView {
        id: list
        objectName: "jobList"
        anchors { left: parent.left; right: parent.right; top: header.bottom; bottom: parent.bottom
                  topMargin: 12; leftMargin: 20; rightMargin: 20; bottomMargin: 12 }
        clip: true
        spacing: 6
        model: mainView.jobs
        reuseItems: true
        ScrollBar.vertical: ScrollBar {}
        delegate: Rectangle {
            id: row
            required property string fileName
            required property string kind
            required property int status
            required property string statusText
            required property var originalSize
            required property var optimizedSize
            required property string savingsText
            required property string bestTool
            required property string currentTool
            required property real progress
            required property string errorText
            readonly property bool failed: statusText === "failed"
            readonly property bool saved: statusText === "completed" && optimizedSize !== undefined
                                          && optimizedSize < originalSize
            width: ListView.view.width
            height: 52
            radius: 8
            color: failed ? Theme.tint(Theme.red, 0.08) : Theme.surface
            border.color: failed ? Theme.tint(Theme.red, 0.5) : Theme.separator
            border.width: failed ? 1 : 0.5

            Icon {
                id: badge
                anchors { left: parent.left; leftMargin: 12; verticalCenter: parent.verticalCenter }
                size: 20
                name: row.failed ? "x-circle-fill" : row.statusText === "completed" ? "check-circle-fill"
                      : row.statusText === "processing" ? "arrows-clockwise" : "image"
                color: row.failed ? Theme.red : row.saved ? Theme.green
                       : row.statusText === "processing" ? Theme.accent : Theme.secondary
                RotationAnimation on rotation {
                    running: row.statusText === "processing"
                    from: 0; to: 360; duration: 1000; loops: Animation.Infinite
                    onRunningChanged: if (!running) badge.rotation = 0
                }
            }
            Column {
                anchors { left: badge.right; leftMargin: 12; right: outcome.left; rightMargin: 12
                          verticalCenter: parent.verticalCenter }
                spacing: 2
                Text {
                    width: parent.width
                    text: row.fileName
                    elide: Text.ElideMiddle
                    font.pixelSize: 13
                    font.weight: Font.Medium
                    color: Theme.primary
                }
                Text {
                    width: parent.width
                    elide: Text.ElideRight
                    font.pixelSize: 12
                    color: row.failed ? Theme.red : Theme.secondary
                    text: row.failed ? row.errorText
                          : row.statusText === "processing" ? (row.currentTool || "Working") + "…"
                          : row.statusText === "completed" ? (row.bestTool || "No smaller version found")
                          : row.statusText
                }
            }
            Text {
                id: outcome
                anchors { right: parent.right; rightMargin: 14; verticalCenter: parent.verticalCenter }
                text: row.saved ? row.savingsText : row.statusText === "completed" ? "0%" : ""
                font.pixelSize: 15
                font.weight: Font.DemiBold
                color: row.saved ? Theme.green : Theme.secondary
            }
            Rectangle {
                visible: row.statusText === "processing"
                anchors { left: parent.left; bottom: parent.bottom; margins: 1 }
                height: 2
                radius: 1
                width: (parent.width - 2) * row.progress
                color: Theme.accent
            }
        }
    }
}
