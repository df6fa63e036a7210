import QtQuick 2.15

// An image tab with its caption under the image.
BaseTabDelegate {
    id: root

    property int imageSize: 32
    property alias captionItem: label

    Rectangle {
        anchors.fill: parent
        color: root.isCurrent ? "#1b8b9d" : "#ffffff"
        opacity: root.isCurrent ? 0.35 : (root.isHovered ? 0.08 : 0)
    }
    Column {
        anchors.centerIn: parent
        spacing: 4
        Image {
            id: img
            anchors.horizontalCenter: parent.horizontalCenter
            width: root.imageSize
            height: root.imageSize
            fillMode: Image.PreserveAspectFit
            source: root.currentSource
        }
        Text {
            id: label
            anchors.horizontalCenter: parent.horizontalCenter
            width: Math.min(implicitWidth, root.width - 4)
            text: root.caption
            color: root.isCurrent ? "#ffffff" : "#bbd0d6"
            font.pixelSize: 12
            elide: Text.ElideRight
            horizontalAlignment: Text.AlignHCenter
        }
    }
}
