import QtQuick 2.15

// An on/off switch drawn from its state; a click only asks (clicked), the owner decides.
Rectangle {
    id: root

    property bool checked: false

    signal clicked

    width: 44
    height: 22
    radius: height / 2
    color: checked ? "#1b8b9d" : "#4a4f59"
    opacity: enabled ? 1 : 0.4

    Rectangle {
        x: root.checked ? root.width - width - 3 : 3
        anchors.verticalCenter: parent.verticalCenter
        width: root.height - 6
        height: width
        radius: width / 2
        color: "#ffffff"
        Behavior on x { NumberAnimation { duration: 120 } }
    }
    MouseArea {
        anchors.fill: parent
        onClicked: root.clicked()
    }
}
