import QtQuick 2.15

// A text tab: the caption (or the name) in the tab, light while current.
BaseTabDelegate {
    id: root

    property alias label: label
    property color currentColor: "#ffffff"
    property color normalColor: "#7f8c8d"
    property color hoverColor: "#bbd0d6"

    Text {
        id: label
        anchors.centerIn: parent
        width: Math.min(implicitWidth, root.width - 8)
        text: root.caption !== "" ? root.caption : root.name
        color: root.isCurrent ? root.currentColor : (root.isHovered ? root.hoverColor : root.normalColor)
        font.pixelSize: 14
        font.bold: root.isCurrent
        elide: Text.ElideRight
        horizontalAlignment: Text.AlignHCenter
    }
}
