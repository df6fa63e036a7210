import QtQuick 2.15
import QtQuick.Window 2.15

// An area that moves a window (targetWindow, the one it sits in by default) or an item
// (targetItem) while dragged. xScale/yScale convert design pixels to screen pixels for windows.
MouseArea {
    id: root

    property var targetWindow: root.Window.window
    property Item targetItem: null
    property real xScale: 1
    property real yScale: 1
    property point pressAt: Qt.point(0, 0)
    readonly property bool dragging: pressed

    signal moved(real dx, real dy)

    onPressed: pressAt = Qt.point(mouse.x, mouse.y)
    onPositionChanged: {
        if (!pressed)
            return;
        var dx = mouse.x - pressAt.x;
        var dy = mouse.y - pressAt.y;
        if (targetItem) {
            targetItem.x += dx;
            targetItem.y += dy;
        } else if (targetWindow) {
            targetWindow.x += Math.round(dx * xScale);
            targetWindow.y += Math.round(dy * yScale);
        }
        moved(dx, dy);
    }
}
