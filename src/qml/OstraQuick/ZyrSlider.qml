import QtQuick 2.15
import "../Common"

// A slider between from and to with the end texts (minText, maxText) under its ends and the
// current text above the handle; tipText shows on hover. moved follows user changes only.
FocusScope {
    id: root

    property real from: 0
    property real to: 100
    property real value: 0
    property real stepSize: 1
    property string minText: ""
    property string maxText: ""
    property string currentText: ""
    property string tipText: ""
    property color trackColor: "#3a404d"
    property color fillColor: "#1b8b9d"
    property color handleColor: "#ffffff"
    property real disabledOpacity: 0.4
    readonly property real ratio: to > from ? Math.max(0, Math.min(1, (value - from) / (to - from))) : 0
    readonly property bool pressed: mouse.pressed

    signal moved(real value)

    implicitWidth: 240
    implicitHeight: 48
    opacity: enabled ? 1.0 : disabledOpacity
    activeFocusOnTab: true

    function setFromUser(v) {
        var s = stepSize > 0 ? Math.round((v - from) / stepSize) * stepSize + from : v;
        s = Math.max(from, Math.min(to, s));
        if (s !== value) {
            value = s;
            moved(value);
        }
    }

    Keys.onLeftPressed: setFromUser(value - stepSize)
    Keys.onRightPressed: setFromUser(value + stepSize)

    Text {
        objectName: "sliderCurrentText"
        x: Math.max(0, Math.min(root.width - width, handle.x + handle.width / 2 - width / 2))
        y: 0
        text: root.currentText
        color: "#ffffff"
        font.pixelSize: 12
    }

    Item {
        id: track
        x: handle.width / 2
        y: 20
        width: root.width - handle.width
        height: 12
        Rectangle {
            anchors.verticalCenter: parent.verticalCenter
            width: parent.width
            height: 4
            radius: 2
            color: root.trackColor
        }
        Rectangle {
            anchors.verticalCenter: parent.verticalCenter
            width: parent.width * root.ratio
            height: 4
            radius: 2
            color: root.fillColor
        }
    }
    Rectangle {
        id: handle
        objectName: "sliderHandle"
        x: track.width * root.ratio
        y: track.y + track.height / 2 - height / 2
        width: 14
        height: 14
        radius: 7
        color: root.handleColor
        border.color: root.activeFocus || mouse.pressed ? "#25a3b7" : "#7f8c8d"
    }
    MouseArea {
        id: mouse
        x: 0
        y: track.y - 6
        width: root.width
        height: track.height + 12
        hoverEnabled: true
        function at(mx) {
            root.forceActiveFocus();
            var r = track.width > 0 ? (mx - track.x) / track.width : 0;
            root.setFromUser(root.from + Math.max(0, Math.min(1, r)) * (root.to - root.from));
        }
        onPressed: at(mouse.x)
        onPositionChanged: if (pressed) at(mouse.x)
    }
    Text {
        anchors.left: parent.left
        y: track.y + track.height + 2
        text: root.minText
        color: "#7f8c8d"
        font.pixelSize: 12
    }
    Text {
        anchors.right: parent.right
        y: track.y + track.height + 2
        text: root.maxText
        color: "#7f8c8d"
        font.pixelSize: 12
    }
    CorvaneTip {
        anchorItem: root
        tipText: root.tipText
        hovered: mouse.containsMouse
    }
}
