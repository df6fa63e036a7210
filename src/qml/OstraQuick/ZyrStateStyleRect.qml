import QtQuick 2.15

// A rectangle with hover and press looks. By default its own mouse area drives the state; set
// isHovered/isPressed from outside (and mouseEnabled to false) to follow another area instead.
Rectangle {
    id: root

    property color normalColor: "transparent"
    property color hoverColor: normalColor
    property color pressColor: hoverColor
    property real normalOpacity: 1.0
    property real hoverOpacity: normalOpacity
    property real pressOpacity: hoverOpacity
    property real disabledOpacity: 0.4
    property bool mouseEnabled: true
    property bool isHovered: mouseEnabled && stateMouse.containsMouse
    property bool isPressed: mouseEnabled && stateMouse.pressed
    readonly property alias mouseArea: stateMouse

    signal clicked(var mouse)

    color: isPressed ? pressColor : (isHovered ? hoverColor : normalColor)
    opacity: !enabled ? disabledOpacity : (isPressed ? pressOpacity : (isHovered ? hoverOpacity : normalOpacity))

    MouseArea {
        id: stateMouse
        anchors.fill: parent
        enabled: root.mouseEnabled
        hoverEnabled: true
        onClicked: root.clicked(mouse)
    }
}
