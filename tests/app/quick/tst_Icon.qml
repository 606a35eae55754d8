// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import PresslyPro

TestCase {
    name: "Icon"

    Icon { id: icon }

    // The provider reads the colour from the URL: channels must stay two digits.
    function test_colourInSource_data() {
        return [
            { tag: "black", color: "#000000", hex: "000000" },
            { tag: "small channels", color: "#01020a", hex: "01020a" },
            { tag: "mixed", color: "#ff0080", hex: "ff0080" },
        ]
    }
    function test_colourInSource(data) {
        icon.name = "gear"
        icon.color = data.color
        compare(String(icon.source), "image://icon/gear/" + data.hex)
    }
}
