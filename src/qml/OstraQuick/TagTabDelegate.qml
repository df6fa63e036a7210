import QtQuick 2.15

// A tab drawn as a rounded tag; filled while current.
TxtTabDelegate {
    id: root

    currentColor: "#ffffff"
    normalColor: "#bbd0d6"

    Rectangle {
        anchors.fill: parent
        anchors.margins: 3
        z: -1
        radius: height / 2
        color: root.isCurrent ? "#1b8b9d" : (root.isHovered ? "#2f3541" : "transparent")
        border.color: root.isCurrent ? "#1b8b9d" : "#566070"
    }
}
