// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import PresslyPro

TestCase {
    id: testCase
    name: "Results"
    width: 900
    height: 700
    visible: true
    when: windowShown

    ListModel { id: jobs }
    Component { id: stackComponent; PhotoStackView { width: 900; height: 700; model: jobs } }
    Component { id: cardComponent; PhotoCard { width: 160; height: 160; statusText: "completed" } }
    Component { id: zoomComponent; HeroZoom {} }
    Component { id: surfaceComponent; ZoomSurface { width: 400; height: 300 } }

    function job(n) {
        return { fileURL: "file:///photos/job-" + n + ".png", fileName: "job-" + n + ".png", statusText: "pending",
                 savingsText: "", originalSize: 100, optimizedSize: 0, restored: false, errorText: "" }
    }

    function test_pileShowsTheLastTen() {
        jobs.clear()
        for (let n = 1; n <= 12; ++n)
            jobs.append(job(n))
        const stack = createTemporaryObject(stackComponent, testCase)
        const cards = findChild(stack, "pileCards")
        const check = (firstJob, total) => {
            compare(cards.count, 10)
            compare(findChild(stack, "pileLabel").text, total + " photos")
            for (let i = 0; i < 10; ++i) {
                const card = cards.itemAt(i)
                compare(String(card.fileURL), "file:///photos/job-" + (firstJob + i) + ".png")
                compare(card.rotation, stack.stackRotations[i])
                fuzzyCompare(card.x - cards.itemAt(0).x, 1.5 * i, 0.001)
                fuzzyCompare(cards.itemAt(0).y - card.y, 3 * i, 0.001)
            }
        }
        check(3, 12)
        const bottomCard = cards.itemAt(0)
        jobs.append(job(13))
        jobs.append(job(14))
        tryVerify(() => String(cards.itemAt(9).fileURL).endsWith("job-14.png"))
        check(5, 14)
        verify(cards.itemAt(0) === bottomCard, "the pile slides without making cards")
    }

    // Pinch, buttons and wheel all stay within 1 to 8; small wheel deltas and drags at 1 do nothing.
    function test_zoomLimits_data() {
        return [
            { tag: "pinch beyond 8", steps: [["pinchEnded", 3], ["pinchChanged", 4], ["pinchEnded", 4]], zoom: 8 },
            { tag: "pinch below 1", steps: [["zoomIn"], ["dragChanged", Qt.point(30, 0)], ["pinchEnded", 0.2]],
              zoom: 1 },
            { tag: "plus from 6", steps: [["pinchEnded", 6], ["zoomIn"]], zoom: 8 },
            { tag: "minus at 1", steps: [["zoomOut"]], zoom: 1 },
            { tag: "wheel down at 1", steps: [["scrollWheel", -3]], zoom: 1 },
            { tag: "wheel up", steps: [["scrollWheel", 0.5]], zoom: 1.15 },
            { tag: "wheel at 0.1", steps: [["pinchEnded", 2], ["scrollWheel", 0.1], ["scrollWheel", -0.1]], zoom: 2 },
        ]
    }
    function test_zoomLimits(data) {
        const zoom = createTemporaryObject(zoomComponent, testCase)
        for (const step of data.steps)
            zoom[step[0]](step[1])
        fuzzyCompare(zoom.zoomScale, data.zoom, 1e-9)
        compare(zoom.lastZoomScale, zoom.zoomScale)
        if (zoom.zoomScale <= 1)
            compare(zoom.panOffset, Qt.point(0, 0))
    }

    function test_pointerInput() {
        const zoom = createTemporaryObject(zoomComponent, testCase)
        const surface = createTemporaryObject(surfaceComponent, testCase, { zoom: zoom })
        mouseDrag(surface, 100, 100, 60, 40)
        compare(zoom.panOffset, Qt.point(0, 0))
        mouseWheel(surface, 200, 150, 0, 12) // 0.1 of a notch
        compare(zoom.zoomScale, 1)
        mouseWheel(surface, 200, 150, 0, 120)
        fuzzyCompare(zoom.zoomScale, 1.15, 1e-9)
        mouseDrag(surface, 100, 100, 60, 40)
        verify(zoom.panOffset.x > 30 && zoom.panOffset.y > 20)
        mouseDoubleClickSequence(surface, 200, 150)
        compare(zoom.zoomScale, 1)
        compare(zoom.panOffset, Qt.point(0, 0))
    }

    // Every kind shows, upright; a missing file shows the failure mark.
    function test_cardPicture_data() {
        return [
            { tag: "png", file: "odd/アイコン 画像 (コピー).png", ready: true },
            { tag: "jpeg, orientation 6", file: "odd/derived-plasma-summer_1am-640x400-orientation6.jpg",
              ready: true, portrait: true },
            { tag: "gif", file: "gif/wordpress-images-spinner.gif", ready: true },
            { tag: "svg", file: "odd/Bildschirm Sperre – Linien ü 🎨.svg", ready: true },
            { tag: "webp", file: "webp/converted-adwaita-512x512-camera-web.webp", ready: true },
            { tag: "heic", file: "heic/converted-skimage-chelsea.heic", ready: true },
            { tag: "gone", file: "png/no-such-file.png", ready: false },
            { tag: "not an image", file: "LICENSES.md", ready: false },
        ]
    }
    function test_cardPicture(data) {
        const card = createTemporaryObject(cardComponent, testCase,
                                           { fileURL: "file://" + testData + "/" + data.file })
        const picture = findChild(card, "cardPicture")
        tryVerify(() => picture.status === Image.Ready || picture.status === Image.Error, 10000)
        compare(picture.status === Image.Ready, data.ready)
        const placeholder = findChild(card, "cardPlaceholder")
        compare(placeholder.visible, !data.ready)
        if (!data.ready)
            compare(placeholder.name, "warning")
        if (data.portrait)
            verify(picture.implicitHeight > picture.implicitWidth)
    }
}
