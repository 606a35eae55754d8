import QtQuick

// Stands in for the statistics dashboard.
Item {
    Column {
        anchors { left: parent.left; top: parent.top; margins: 36 }
        spacing: 6
        Text { text: "Overview"; font.pixelSize: 26; font.bold: true; color: Theme.primary }
        Text { text: "Statistics about your Pressly Pro usage"; font.pixelSize: 13; color: Theme.secondary }
    }
    Text {
        anchors.centerIn: parent
        text: "No sessions recorded yet"
        font.pixelSize: 13
        color: Theme.muted
    }
}
