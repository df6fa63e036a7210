import QtQuick 2.15

// An area that, while active, dims what lies below it and swallows every mouse event, so nothing
// under it reacts. The window puts one above all its content; dialog areas (Blockable) engage it
// with block() and release it with unblock(). Several requesters may hold it at once; it stays
// active until the last one lets go.
Item {
    id: root

    // Forces the block on regardless of requesters.
    property bool forced: false
    property color dimColor: "#000000"
    property real dimOpacity: 0.5
    property var requesters: []
    readonly property bool active: forced || requesters.length > 0

    // A press that the block swallowed; a dialog may close itself on it.
    signal pressedOutside

    anchors.fill: parent
    z: 1000
    visible: active

    function block(requester) {
        if (requesters.indexOf(requester) >= 0)
            return;
        var list = requesters.slice();
        list.push(requester);
        requesters = list;
    }

    function unblock(requester) {
        var i = requesters.indexOf(requester);
        if (i < 0)
            return;
        var list = requesters.slice();
        list.splice(i, 1);
        requesters = list;
    }

    Rectangle {
        anchors.fill: parent
        color: root.dimColor
        opacity: root.dimOpacity
    }

    MouseArea {
        objectName: "blockAreaMouse"
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.AllButtons
        preventStealing: true
        onPressed: root.pressedOutside()
        onWheel: wheel.accepted = true
    }
}
