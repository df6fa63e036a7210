import QtQuick 2.15

// One bar of ZyrScrollArea: step buttons at both ends and a draggable handle. It only asks to
// move (moveRequested); the area owns the position.
Item {
    id: root

    property int orientation: Qt.Vertical
    property real visibleSize: 0
    property real totalSize: 1
    property real position: 0
    property real stepSize: 40
    property color barColor: "#5c6370"
    property color barHoverColor: "#7f8c8d"
    property color trackColor: "#20242c"
    readonly property bool vertical: orientation === Qt.Vertical
    readonly property real buttonSize: vertical ? width : height
    readonly property real trackLength: Math.max(0, (vertical ? height : width) - 2 * buttonSize)
    readonly property real handleLength: totalSize > 0 ? Math.max(16, trackLength * Math.min(1, visibleSize / totalSize)) : trackLength
    readonly property real range: Math.max(0, totalSize - visibleSize)

    signal moveRequested(real to)

    Rectangle {
        anchors.fill: parent
        color: root.trackColor
    }

    Repeater {
        model: 2
        Rectangle {
            readonly property bool first: index === 0
            x: root.vertical ? 0 : (first ? 0 : root.width - width)
            y: root.vertical ? (first ? 0 : root.height - height) : 0
            width: root.buttonSize
            height: root.buttonSize
            color: stepMouse.pressed ? Qt.darker(root.barColor, 1.2) : stepMouse.containsMouse ? root.barHoverColor : "transparent"
            Canvas {
                anchors.fill: parent
                anchors.margins: 2
                onPaint: {
                    var ctx = getContext("2d");
                    ctx.reset();
                    ctx.fillStyle = "#bbd0d6";
                    ctx.beginPath();
                    var w = width, h = height;
                    if (root.vertical) {
                        if (first) { ctx.moveTo(w / 2, h * 0.25); ctx.lineTo(w * 0.85, h * 0.75); ctx.lineTo(w * 0.15, h * 0.75); }
                        else { ctx.moveTo(w / 2, h * 0.75); ctx.lineTo(w * 0.85, h * 0.25); ctx.lineTo(w * 0.15, h * 0.25); }
                    } else {
                        if (first) { ctx.moveTo(w * 0.25, h / 2); ctx.lineTo(w * 0.75, h * 0.15); ctx.lineTo(w * 0.75, h * 0.85); }
                        else { ctx.moveTo(w * 0.75, h / 2); ctx.lineTo(w * 0.25, h * 0.15); ctx.lineTo(w * 0.25, h * 0.85); }
                    }
                    ctx.closePath();
                    ctx.fill();
                }
            }
            MouseArea {
                id: stepMouse
                anchors.fill: parent
                hoverEnabled: true
                onClicked: root.moveRequested(root.position + (first ? -root.stepSize : root.stepSize))
                onPressAndHold: repeatTimer.start()
                onReleased: repeatTimer.stop()
                Timer {
                    id: repeatTimer
                    interval: 60
                    repeat: true
                    onTriggered: root.moveRequested(root.position + (first ? -root.stepSize : root.stepSize))
                }
            }
        }
    }

    Rectangle {
        id: handle
        objectName: "scrollHandle"
        readonly property real offset: root.range > 0 ? (root.trackLength - root.handleLength) * root.position / root.range : 0
        x: root.vertical ? 1 : root.buttonSize + offset
        y: root.vertical ? root.buttonSize + offset : 1
        width: root.vertical ? root.width - 2 : root.handleLength
        height: root.vertical ? root.handleLength : root.height - 2
        radius: 3
        color: handleMouse.pressed || handleMouse.containsMouse ? root.barHoverColor : root.barColor

        MouseArea {
            id: handleMouse
            anchors.fill: parent
            hoverEnabled: true
            property real pressAt: 0
            property real startPosition: 0
            onPressed: {
                var p = mapToItem(root, mouse.x, mouse.y);
                pressAt = root.vertical ? p.y : p.x;
                startPosition = root.position;
            }
            onPositionChanged: {
                if (!pressed)
                    return;
                var p = mapToItem(root, mouse.x, mouse.y);
                var moved = (root.vertical ? p.y : p.x) - pressAt;
                var free = root.trackLength - root.handleLength;
                if (free > 0)
                    root.moveRequested(startPosition + moved * root.range / free);
            }
        }
    }
}
