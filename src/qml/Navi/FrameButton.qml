import QtQuick 2.15
import QtQuick.Window 2.15
import "../Common"

// A title button of the window frame: an icon on a background that lights up under the pointer.
Item {
    id: button

    property string tipText: ""
    property string normalSource: ""
    property string hoveredSource: ""
    property string pressedSource: ""
    property color hoverColor: "#ffffff"

    signal clicked

    width: 46
    height: 32

    Rectangle {
        anchors.fill: parent
        color: button.hoverColor
        opacity: mouse.pressed ? 0.35 : mouse.containsMouse ? 0.2 : 0
    }

    Image {
        anchors.centerIn: parent
        width: 16
        height: 16
        sourceSize: Qt.size(32, 32)
        source: mouse.pressed ? button.pressedSource : mouse.containsMouse ? button.hoveredSource
                                                                           : button.normalSource
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        onClicked: button.clicked()
    }

    CorvaneTip {
        anchorItem: button
        hostWindow: button.Window.window
        tipText: button.tipText
        hovered: mouse.containsMouse
    }
}
