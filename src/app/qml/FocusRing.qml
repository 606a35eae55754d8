// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// Where the keyboard is: a ring around its parent, drawn only while the parent
// has the keyboard's focus, with a halo so it shows on any card and palette.
Rectangle {
    id: ring
    property bool shown: parent ? parent.activeFocus : false
    property real gap: 3
    anchors.fill: parent
    anchors.margins: -gap
    radius: (parent && parent.radius !== undefined ? parent.radius : 6) + gap
    color: "transparent"
    border { color: Theme.focusRing; width: 2 }
    visible: shown
    z: 100
    Rectangle {
        anchors { fill: parent; margins: 2 }
        radius: Math.max(0, ring.radius - 2)
        color: "transparent"
        border { color: Theme.windowBackground; width: 1 }
    }

    // Space and Enter activate a control, as they do a button; answers whether the key did.
    function press(event, action) {
        if (event.modifiers !== Qt.NoModifier && event.modifiers !== Qt.KeypadModifier)
            return
        if (event.key !== Qt.Key_Space && event.key !== Qt.Key_Return && event.key !== Qt.Key_Enter)
            return
        action()
        event.accepted = true
    }

    // A control reached by Tab in a scrolled page comes into view.
    onShownChanged: {
        if (!shown)
            return
        for (let view = parent; view; view = view.parent) {
            if (view.contentItem === undefined || view.contentY === undefined || view.originY === undefined)
                continue
            const top = ring.mapToItem(view.contentItem, 0, 0).y
            if (top < view.contentY)
                view.contentY = Math.max(view.originY - view.topMargin, top - 12)
            else if (top + height > view.contentY + view.height)
                view.contentY = Math.min(top + height + 12 - view.height,
                                         view.originY + view.contentHeight + view.bottomMargin - view.height)
            return
        }
    }
}
