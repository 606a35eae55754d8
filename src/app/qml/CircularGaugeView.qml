// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Shapes
import PresslyPro

// A semicircle of the batch's progress around the bytes it saved.
Item {
    id: gauge
    property alias savedBytes: reading.savedBytes
    property alias progress: reading.progress
    property bool isProcessing: false
    property bool animated: true

    implicitWidth: 160
    implicitHeight: 120
    Accessible.role: Accessible.StaticText
    Accessible.name: qsTr("%1 %2, %3 % done").arg(reading.valueText).arg(reading.unitLabel)
                     .arg(Math.round(Math.max(0, Math.min(1, reading.progress)) * 100))

    GaugeReading { id: reading }

    ArcShape {
        objectName: "gaugeTrack"
        anchors.fill: parent
        startAngle: reading.arcStart
        endAngle: reading.arcEnd
        color: Theme.separator
    }

    ArcShape {
        objectName: "gaugeProgress"
        anchors.fill: parent
        startAngle: reading.arcStart
        endAngle: reading.progressEnd
        gradient: LinearGradient {
            x1: 0; y1: 0; x2: gauge.width; y2: 0
            GradientStop { position: 0; color: Theme.tint(Theme.green, 0.7) }
            GradientStop { position: 1; color: Theme.green }
        }
        Behavior on endAngle { enabled: gauge.animated; SpringAnimation { spring: 3; damping: 0.35; epsilon: 0.05 } }
    }

    // Centred 4 below the arc's centre, which sits 10 below the middle.
    Column {
        anchors { horizontalCenter: parent.horizontalCenter; verticalCenter: parent.verticalCenter
                  verticalCenterOffset: 10 + 4 }
        spacing: 2
        Text {
            objectName: "gaugeValue"
            anchors.horizontalCenter: parent.horizontalCenter
            text: reading.valueText
            // Tight, so that wide values stay inside the arc; a wider font (or language) shrinks it.
            width: Math.min(implicitWidth, gauge.width * 0.72)
            horizontalAlignment: Text.AlignHCenter
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 20
            font { pixelSize: 36; bold: true; letterSpacing: -2 }
            color: Theme.primary
        }
        Text {
            objectName: "gaugeUnit"
            anchors.horizontalCenter: parent.horizontalCenter
            text: reading.unitLabel
            // Clear of the arc's ends, however long the language's words.
            width: Math.min(implicitWidth, gauge.width * 0.5)
            horizontalAlignment: Text.AlignHCenter
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 8
            font { pixelSize: 11; weight: Font.DemiBold; letterSpacing: 1 }
            color: Theme.secondary
        }
    }
}
