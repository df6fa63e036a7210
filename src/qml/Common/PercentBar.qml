import QtQuick 2.15

// A progress bar of progressPercent (0-100).
Rectangle {
    id: root

    property real progressPercent: 0
    property color fillColor: "#1b8b9d"
    readonly property real clamped: Math.max(0, Math.min(100, progressPercent))

    implicitWidth: 180
    implicitHeight: 7
    radius: height / 2
    color: "#3a404d"

    Rectangle {
        objectName: "percentFill"
        width: parent.width * root.clamped / 100
        height: parent.height
        radius: parent.radius
        color: root.fillColor
        Behavior on width { NumberAnimation { duration: 150 } }
    }
}
