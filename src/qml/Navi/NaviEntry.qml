import QtQuick 2.15
import QtQuick.Controls 2.15

// One entry of the navigation bar: an icon with a look for each state and a tool tip.
Item {
    id: entry

    property string name: ""
    property string tipText: ""
    property bool current: false
    property string normalSource: ""
    property string hoveredSource: ""
    property string pressedSource: ""
    property string disabledSource: ""

    signal clicked

    Rectangle {
        anchors.fill: parent
        color: "#ffffff"
        opacity: entry.current ? 0.12 : (mouse.containsMouse && entry.enabled ? 0.06 : 0)
    }

    Rectangle {
        objectName: "currentMark"
        width: 4
        height: parent.height
        color: "#1b8b9d"
        visible: entry.current
    }

    Image {
        anchors.centerIn: parent
        width: 48
        height: 48
        sourceSize: Qt.size(96, 96)
        smooth: true
        source: !entry.enabled ? entry.disabledSource
                               : (mouse.pressed || entry.current) ? entry.pressedSource
                                                                  : mouse.containsMouse ? entry.hoveredSource
                                                                                        : entry.normalSource
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        onClicked: entry.clicked()
    }

    ToolTip.visible: mouse.containsMouse && entry.tipText !== ""
    ToolTip.text: entry.tipText
    ToolTip.delay: 1500
    ToolTip.timeout: 6000
}
