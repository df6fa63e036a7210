import QtQuick 2.15

// The line that marks the current tab; it grows in from the middle when shown.
Rectangle {
    id: root

    property bool shown: true
    property int barHeight: 3

    height: barHeight
    color: "#1b8b9d"
    transform: Scale {
        origin.x: root.width / 2
        xScale: root.shown ? 1 : 0
        Behavior on xScale { NumberAnimation { duration: 150 } }
    }
}
