// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls
import QtTest
import PresslyPro

TestCase {
    name: "PhotoGrid"
    when: windowShown
    visible: true
    width: 2300
    height: 900

    ListModel { id: jobs }
    Component {
        id: gridComponent
        PhotoGrid { model: jobs; entering: false }
    }

    function initTestCase() {
        // Without pictures: what is tested here is the grid's own layout and keys.
        for (let i = 0; i < 1200; ++i)
            jobs.append({ fileURL: "", fileName: "photo-" + i + ".jpg", statusText: "completed", savingsText: "10.0%",
                          originalSize: 100, optimizedSize: 90, restored: false, errorText: "" })
    }

    // 1,200 cards: named, a scrollbar in view, End and Home reach the last and first; the cards
    // grow with a wide window, and stay at least 150 px in a narrow one.
    function test_largeGridIsNavigable_data() {
        return [{ tag: "2560 px window", width: 2300, widest: 260, narrowest: 200 },
                { tag: "1100 px window", width: 830, widest: 200, narrowest: 150 }]
    }

    function test_largeGridIsNavigable(data) {
        const view = createTemporaryObject(gridComponent, this, { width: data.width, height: 900 })
        const grid = findChild(view, "photoGrid")
        waitForRendering(view)
        const card = findChild(grid, "gridCard")
        verify(card.width >= data.narrowest && card.width <= data.widest, "card " + card.width)
        compare(findChild(grid, "gridCardName").text.startsWith("photo-"), true)
        compare(findChild(view, "gridScrollBar").policy, ScrollBar.AlwaysOn)
        grid.forceActiveFocus()
        keyClick(Qt.Key_End)
        tryVerify(() => grid.atYEnd)
        compare(grid.currentIndex, 1199)
        keyClick(Qt.Key_Home)
        tryVerify(() => grid.atYBeginning)
        compare(grid.currentIndex, 0)
    }
}
