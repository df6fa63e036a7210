import QtQuick 2.15

// A radio button with a text; a click checks it (it never unchecks itself) and emits clicked.
FocusScope {
    id: root

    property bool checked: false
    property string text: ""
    property color textColor: "#ffffff"
    property int fontPixelSize: 14
    property real disabledOpacity: 0.4
    readonly property bool isHovered: mouse.containsMouse
    readonly property bool isPressed: mouse.pressed

    signal clicked

    implicitWidth: 18 + (label.text !== "" ? 8 + label.implicitWidth : 0)
    implicitHeight: Math.max(18, label.implicitHeight)
    opacity: enabled ? 1.0 : disabledOpacity
    activeFocusOnTab: true

    function choose() {
        checked = true;
        clicked();
    }
    Keys.onSpacePressed: choose()

    Rectangle {
        id: ring
        anchors.verticalCenter: parent.verticalCenter
        width: 18
        height: 18
        radius: 9
        color: root.isPressed ? "#12707f" : "#2a2f3a"
        border.width: 1
        border.color: root.checked || root.isHovered || root.activeFocus ? "#25a3b7" : "#7f8c8d"
        Rectangle {
            anchors.centerIn: parent
            width: 8
            height: 8
            radius: 4
            color: "#25a3b7"
            visible: root.checked
        }
    }
    Text {
        id: label
        anchors.verticalCenter: parent.verticalCenter
        x: 26
        width: Math.max(0, Math.min(implicitWidth, root.width - x))
        text: root.text
        color: root.textColor
        font.pixelSize: root.fontPixelSize
        font.family: typeof _GProperty_ !== "undefined" ? _GProperty_.defaultFamily : font.family
        elide: Text.ElideRight
    }
    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        onClicked: root.choose()
    }
}
