// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A small titled card of the statistics panel.
Rectangle {
    id: card
    property string title
    default property alias content: body.data

    implicitHeight: body.implicitHeight + titleText.implicitHeight + 24
    radius: 10
    color: Theme.surface
    border { color: Theme.separator; width: 0.5 }

    Text {
        id: titleText
        anchors { left: parent.left; top: parent.top; margins: 10 }
        text: card.title
        font { pixelSize: 10; weight: Font.DemiBold; letterSpacing: 0.5 }
        color: Theme.muted
    }
    Column {
        id: body
        anchors { left: parent.left; right: parent.right; top: titleText.bottom; margins: 10; topMargin: 4 }
        spacing: 2
    }
}
