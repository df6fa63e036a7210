import QtQuick 2.15

// A busy animation: a ring of dots turning while running.
Item {
    id: root

    property bool running: visible
    property color color: "#25a3b7"
    property int dotCount: 8

    implicitWidth: 20
    implicitHeight: 20

    Item {
        id: ring
        anchors.fill: parent

        Repeater {
            model: root.dotCount
            Rectangle {
                readonly property real angle: index / root.dotCount * 2 * Math.PI
                readonly property real dot: Math.max(2, Math.min(root.width, root.height) / 5)
                width: dot
                height: dot
                radius: dot / 2
                color: root.color
                opacity: 0.25 + 0.75 * index / root.dotCount
                x: root.width / 2 + Math.cos(angle) * (root.width / 2 - dot / 2) - dot / 2
                y: root.height / 2 + Math.sin(angle) * (root.height / 2 - dot / 2) - dot / 2
            }
        }

        RotationAnimation on rotation {
            running: root.running
            from: 0
            to: 360
            duration: 1000
            loops: Animation.Infinite
        }
    }
}
