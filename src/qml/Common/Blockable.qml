import QtQuick 2.15
import QtQuick.Window 2.15

// A dialog area that keeps the rest of its window from reacting while it is active: a shield
// below its own content covers the whole window, dims it and swallows mouse input. With
// hostBlockArea set it also engages that (window-wide) BlockArea, for areas that live in a
// pop-up window yet must hold the main window still.
Item {
    id: root

    property bool active: visible
    property bool dim: true
    property color dimColor: "#000000"
    property real dimOpacity: 0.5
    // A BlockArea to hold while active (usually the main window's).
    property var hostBlockArea: null

    // A press on the shield, outside the area.
    signal pressedOutside

    function engageHost() {
        if (hostBlockArea && hostBlockArea.block)
            hostBlockArea.block(root);
    }
    function releaseHost(area) {
        if (area && area.unblock)
            area.unblock(root);
    }

    onActiveChanged: active ? engageHost() : releaseHost(hostBlockArea)
    property var lastHostBlockArea: null
    onHostBlockAreaChanged: {
        releaseHost(lastHostBlockArea);
        lastHostBlockArea = hostBlockArea;
        if (active)
            engageHost();
    }
    Component.onCompleted: {
        lastHostBlockArea = hostBlockArea;
        if (active)
            engageHost();
    }
    Component.onDestruction: releaseHost(lastHostBlockArea)

    // Sits below the area's own children and reaches over the whole window.
    Item {
        id: shield
        objectName: "blockableShield"
        z: -1
        visible: root.active
        readonly property point origin: {
            // Re-evaluated when the area moves or the window changes size.
            var unused = root.x + root.y + root.width + root.height + (root.Window.width || 0) + (root.Window.height || 0);
            return root.Window.contentItem ? root.mapFromItem(root.Window.contentItem, 0, 0) : Qt.point(0, 0);
        }
        x: origin.x
        y: origin.y
        width: root.Window.width > 0 ? root.Window.width : root.width
        height: root.Window.height > 0 ? root.Window.height : root.height

        Rectangle {
            anchors.fill: parent
            visible: root.dim
            color: root.dimColor
            opacity: root.dimOpacity
        }
        MouseArea {
            anchors.fill: parent
            hoverEnabled: true
            acceptedButtons: Qt.AllButtons
            preventStealing: true
            onPressed: root.pressedOutside()
            onWheel: wheel.accepted = true
        }
    }
}
