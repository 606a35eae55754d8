// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import PresslyPro

TestCase {
    name: "StatisticsDashboard"
    when: windowShown
    visible: true
    width: 900
    height: 800

    Component {
        id: dashboardView
        StatisticsDashboardView { width: 900; height: 800 }
    }

    function savingsColumn(view) {
        const texts = []
        for (let i = 0; i < view.count; ++i)
            texts.push(view.itemAtIndex(i).savingsText)
        return texts
    }

    function test_sortsByClickedHeader() {
        // Sessions listed oldest first; "none" has no original bytes.
        const view = createTemporaryObject(dashboardView, this, { dashboard: fixtures.dashboard([
            { saved: 30, original: 100, hoursAgo: 4 }, { saved: 50, original: 100, hoursAgo: 3 },
            { saved: 5000, original: 0, hoursAgo: 2 }, { saved: 10, original: 100, hoursAgo: 1 }]) })
        waitForRendering(view)
        compare(savingsColumn(view), ["10.0%", "0.0%", "50.0%", "30.0%"])
        const clicks = [["savings", ["50.0%", "30.0%", "10.0%", "0.0%"]],
                        ["savings", ["0.0%", "10.0%", "30.0%", "50.0%"]],
                        ["date", ["10.0%", "0.0%", "50.0%", "30.0%"]]]
        for (const [key, expected] of clicks) {
            mouseClick(findChild(view, "header-" + key))
            compare(savingsColumn(view), expected, "after " + key)
        }
        const colours = [Theme.tertiary, Theme.tertiary, Theme.green, Theme.secondary].map(String)
        compare([0, 1, 2, 3].map(i => String(findChild(view.itemAtIndex(i), "savingsCell").color)), colours)
        // Nothing saved all-time yet: no share of the sessions' bytes.
        compare(findChild(findChild(view, "reduction"), "value").text, "0.0%")
    }

    function test_freshInstallShowsOnlyTheEmptyState() {
        const view = createTemporaryObject(dashboardView, this, { dashboard: fixtures.dashboard([]) })
        waitForRendering(view)
        verify(findChild(view, "emptyState").visible)
        verify(!findChild(view, "summaryCards").visible)
        verify(!findChild(view, "sinceBadge").visible)
        verify(!findChild(view, "exportButton").visible)
    }

    // A long history shows from its top, headers in view, even when the header grew after the
    // page opened; and the table spans the page.
    function test_longHistoryOpensAtTopAcrossThePage() {
        const dashboard = fixtures.dashboard([])
        const view = createTemporaryObject(dashboardView, this, { dashboard: dashboard })
        waitForRendering(view)
        fixtures.addSessions(dashboard, 60)
        view.width = 1200
        waitForRendering(view)
        verify(view.atYBeginning, "contentY " + view.contentY + ", originY " + view.originY)
        compare(view.itemAtIndex(0).width, view.width - view.leftMargin - view.rightMargin)
    }
}
