import QtQuick 2.15

// An image tab: the entry's image for the look, a faint background on hover and while current.
BaseTabDelegate {
    id: root

    Rectangle {
        anchors.fill: parent
        color: root.isCurrent ? "#1b8b9d" : "#ffffff"
        opacity: root.isCurrent ? 0.35 : (root.isHovered ? 0.08 : 0)
    }
    Image {
        anchors.centerIn: parent
        width: Math.min(parent.width, parent.height) * 0.6
        height: width
        fillMode: Image.PreserveAspectFit
        source: root.currentSource
    }
}
