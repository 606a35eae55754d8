import QtQuick

Text {
    font.pixelSize: 13
    font.weight: Font.DemiBold
    font.capitalization: Font.AllUppercase
    font.letterSpacing: 0.5
    color: Theme.secondary
}
