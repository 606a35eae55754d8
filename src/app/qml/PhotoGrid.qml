import QtQuick
import QtQuick.Controls

// Every job as a card, in list order, in as many columns as fit.
Item {
    id: gridView
    property var model
    // The cards there when the grid opens come in one after another.
    property bool entering: true
    property bool batchRunning: false
    signal collapse()
    signal open(int row)

    Timer { running: true; interval: 900; onTriggered: gridView.entering = false }

    Row {
        id: header
        anchors { left: parent.left; right: parent.right; top: parent.top; margins: 20 }
        height: collapseButton.implicitHeight
        spacing: 12
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: (gridView.model ? gridView.model.count : 0) + " photos"
            font.pixelSize: 15
            font.weight: Font.DemiBold
            color: Theme.primary
        }
    }
    PillButton {
        id: collapseButton
        objectName: "collapseButton"
        anchors { right: parent.right; top: parent.top; margins: 16 }
        text: "Collapse"
        symbol: "arrows-in-line-vertical"
        onClicked: gridView.collapse()
    }

    GridView {
        id: grid
        objectName: "photoGrid"
        anchors { left: parent.left; right: parent.right; top: collapseButton.bottom; bottom: parent.bottom
                  leftMargin: 20; rightMargin: 4; topMargin: 12 }
        readonly property int columns: Math.max(1, Math.floor((width - 16 + 16) / (150 + 16)))
        cellWidth: Math.floor((width - 16) / columns)
        cellHeight: 160 + 16
        clip: true
        reuseItems: true
        cacheBuffer: 176
        model: gridView.model
        ScrollBar.vertical: ScrollBar {}
        delegate: Item {
            required property int index
            required property var model
            width: grid.cellWidth
            height: grid.cellHeight
            PhotoCard {
                objectName: "gridCard"
                width: parent.width - 16
                height: 160
                appearDelay: gridView.entering ? 40 * index : 0
                fileURL: model.fileURL
                statusText: model.statusText
                savingsText: model.savingsText
                originalSize: model.originalSize
                optimizedSize: model.optimizedSize
                restored: model.restored
                batchRunning: gridView.batchRunning
                pictureSide: 240
                onTapped: gridView.open(index)
            }
        }
    }
}
