import QtQuick 2.15
import QtQuick.Window 2.15

// The draggable title bar of a pop-up window: an icon (imgInfo), a title (txtInfo) and a close
// button (btnClose). Dragging it moves `targetWindow` (by default the window it sits in).
Rectangle {
    id: root

    readonly property alias txtInfo: title
    readonly property alias imgInfo: icon
    readonly property alias btnClose: closeButton
    property var targetWindow: root.Window.window
    // Screen pixels per design pixel, so a drag follows the pointer in a scaled window.
    property real xScale: 1
    property real yScale: 1
    property bool draggable: true

    signal closeRequested

    implicitHeight: 40
    color: "#242833"

    MouseArea {
        id: drag
        anchors.fill: parent
        enabled: root.draggable
        property point pressAt: Qt.point(0, 0)
        onPressed: pressAt = Qt.point(mouse.x, mouse.y)
        onPositionChanged: {
            if (!pressed || !root.targetWindow)
                return;
            root.targetWindow.x += Math.round((mouse.x - pressAt.x) * root.xScale);
            root.targetWindow.y += Math.round((mouse.y - pressAt.y) * root.yScale);
        }
    }

    Image {
        id: icon
        anchors.verticalCenter: parent.verticalCenter
        x: 12
        visible: source != ""
    }

    Text {
        id: title
        objectName: "titleText"
        anchors.verticalCenter: parent.verticalCenter
        x: icon.visible ? icon.x + icon.width + 8 : 16
        width: Math.max(0, closeButton.x - x - 8)
        color: "#ffffff"
        font.pixelSize: 14
        font.bold: true
        font.family: typeof _GProperty_ !== "undefined" ? _GProperty_.defaultFamily : font.family
        elide: Text.ElideRight
    }

    ZyrButton {
        id: closeButton
        objectName: "closeButton"
        anchors.right: parent.right
        anchors.rightMargin: 6
        anchors.verticalCenter: parent.verticalCenter
        width: 28
        height: 28
        normalSource: "qrc:/src/qml/res/images/Common_close_Icon.png"
        hoveredSource: "qrc:/src/qml/res/images/Common_close_hover_Icon.png"
        hoverColor: "#3a404d"
        pressColor: "#1b8b9d"
        radius: 2
        btnImgInfo.sourceSize: Qt.size(32, 32)
        btnImgInfo.width: 20
        btnImgInfo.height: 20
        onClicked: root.closeRequested()
    }
}
