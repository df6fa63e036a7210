import QtQuick 2.15

// A text and/or image button with hover and press looks and an optional tip. btnTxtInfo and
// btnImgInfo are the inner Text and Image, so users set e.g. btnTxtInfo.text or
// btnImgInfo.source directly. Images per look: set hoveredSource/pressedSource/disabledSource
// to swap the image with the state; without them the background colours carry the state.
FocusScope {
    id: root

    readonly property alias btnTxtInfo: label
    readonly property alias btnImgInfo: image
    property string tipText: ""
    property bool showTip: tipText !== ""
    property bool quickEmerge: false
    property var hostWindow: null

    property string normalSource: ""
    property string hoveredSource: normalSource
    property string pressedSource: hoveredSource
    property string disabledSource: normalSource

    property color normalColor: "transparent"
    property color hoverColor: normalColor
    property color pressColor: hoverColor
    property color borderColor: "transparent"
    property int radius: 0
    property real disabledOpacity: 0.4
    property int spacing: 6

    readonly property bool isHovered: mouse.containsMouse
    readonly property bool isPressed: mouse.pressed
    readonly property alias mouseArea: mouse

    signal clicked
    signal doubleClicked
    signal entered
    signal exited

    implicitWidth: Math.max(content.implicitWidth + 16, 24)
    implicitHeight: Math.max(content.implicitHeight + 8, 24)
    activeFocusOnTab: true
    opacity: enabled ? 1.0 : disabledOpacity

    Keys.onReturnPressed: root.clicked()
    Keys.onEnterPressed: root.clicked()
    Keys.onSpacePressed: root.clicked()

    Rectangle {
        id: background
        anchors.fill: parent
        radius: root.radius
        color: root.isPressed ? root.pressColor : (root.isHovered ? root.hoverColor : root.normalColor)
        border.color: root.activeFocus ? "#25a3b7" : root.borderColor
        border.width: root.activeFocus || root.borderColor != Qt.rgba(0, 0, 0, 0) ? 1 : 0
    }

    Row {
        id: content
        anchors.centerIn: parent
        spacing: image.visible && label.visible ? root.spacing : 0

        Image {
            id: image
            anchors.verticalCenter: parent.verticalCenter
            visible: source != ""
            fillMode: Image.PreserveAspectFit
            source: !root.enabled ? root.disabledSource
                  : root.isPressed ? root.pressedSource
                  : root.isHovered ? root.hoveredSource : root.normalSource
        }
        Text {
            id: label
            anchors.verticalCenter: parent.verticalCenter
            visible: text !== ""
            color: "#ffffff"
            font.pixelSize: 14
            elide: Text.ElideRight
        }
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        onClicked: root.clicked()
        onDoubleClicked: root.doubleClicked()
        onEntered: root.entered()
        onExited: root.exited()
    }

    ZyrTip {
        anchorItem: root
        hostWindow: root.hostWindow
        tipText: root.tipText
        tipEnable: root.showTip
        quickEmerge: root.quickEmerge
        hovered: mouse.containsMouse
    }
}
