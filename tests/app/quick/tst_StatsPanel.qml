// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import PresslyPro

TestCase {
    name: "StatsPanel"
    when: windowShown
    visible: true
    width: 210
    height: 500

    StatsPanelView { id: panel; height: 500; stats: fixtures.emptyPanel() }

    function test_noJobs() {
        compare(findChild(panel, "gauge").progress, 0)
        compare(findChild(panel, "finishedCount").text, "0")
        compare(findChild(panel, "jobCount").text, "of 0")
        compare(findChild(panel, "savingsShare").text, "0.0 %")
        verify(!findChild(panel, "failedLine").visible)
        verify(!findChild(panel, "stopButton").visible)
    }
}
