// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import PresslyPro

TestCase {
    name: "PhotoCard"
    when: windowShown
    visible: true
    width: 600
    height: 400

    Component {
        id: cardComponent
        PhotoCard { appearAnimated: false }
    }

    function init() {
        // A loop between the picture's size and how it is fitted reloads the picture again and again.
        failOnWarning(/Binding loop detected/)
    }

    // A card handed another job's picture (the pile moving on, a grid cell reused): icons, a tall
    // and a wide small picture and large photographs, each after a large one and before it again,
    // at the grid's and the pile's sizes.
    function test_pictureSettlesInOneFit_data() {
        const files = ["png/adwaita-24x24-legacy-view-restore.png", "png/pingus-flag3.png", "png/debian-debian.png",
                       "png/imagemagick-radial-gradient.png", "jpeg/pingus-clouds.jpg", "svg/latin1-text.svg",
                       "svg/adwaita-scalable-actions-list-remove-symbolic.svg"]
        const rows = []
        for (const file of files)
            for (const size of [[150, 160, 240], [240, 320, 320]])
                rows.push({ tag: file + "@" + size[0], file: file, w: size[0], h: size[1], side: size[2] })
        return rows
    }

    function test_pictureSettlesInOneFit(data) {
        const large = "file://" + testData + "/png/debian-grub-16x9.png"
        const card = createTemporaryObject(cardComponent, this, {
            width: data.w, height: data.h, pictureSide: data.side, statusText: "completed", fileURL: large })
        const picture = findChild(card, "cardPicture")
        for (const url of ["file://" + testData + "/" + data.file, large]) {
            tryCompare(card, "pictureStatus", Image.Ready)
            card.fileURL = url
            tryCompare(card, "pictureStatus", Image.Ready)
            verify(picture.width <= data.w && picture.height <= data.h)
        }
        // A drawing is drawn for the size shown, not a small bitmap enlarged.
        if (data.file.endsWith(".svg")) {
            card.fileURL = "file://" + testData + "/" + data.file
            tryCompare(card, "pictureStatus", Image.Ready)
            tryVerify(() => picture.implicitWidth >= picture.width && picture.implicitHeight >= picture.height
                            && picture.width > 50)
        }
    }

    function test_captionTellsWhatBecameOfTheJob_data() {
        return [
            { tag: "queued while the batch runs", status: "pending", running: true, caption: "--" },
            { tag: "never started, batch stopped", status: "pending", running: false, caption: "Not started" },
            { tag: "stopped while running", status: "cancelled", running: false, caption: "Stopped" },
            { tag: "saved", status: "completed", running: false, caption: "40.0%" }
        ]
    }

    function test_captionTellsWhatBecameOfTheJob(data) {
        const card = createTemporaryObject(cardComponent, this, {
            width: 150, height: 160, statusText: data.status, batchRunning: data.running,
            savingsText: data.status === "completed" ? "40.0%" : "--" })
        compare(findChild(card, "cardCaption").text, data.caption)
        compare(findChild(card, "cardPicture").opacity < 1, data.caption === "Not started" || data.caption === "Stopped")
    }
}
