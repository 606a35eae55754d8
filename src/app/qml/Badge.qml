// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A state mark on a card: the symbol in colour on a white disc, springing in.
Item {
    id: badge
    property bool shown: false
    property string name
    property color color
    width: 20
    height: 20
    visible: scale > 0.01
    scale: shown ? 1 : 0
    Behavior on scale { SpringAnimation { spring: 4.5; damping: 0.3; epsilon: 0.01 } }
    Rectangle { anchors.fill: parent; anchors.margins: 1.5; radius: width / 2; color: "white" }
    Icon { anchors.fill: parent; size: 20; name: badge.name; color: badge.color }
}
