import QtQuick 2.15

// An image button, one image per look. With activeEnable a click latches it active (shown with
// the pressed image) and a second click releases it; `active` is emitted when it latches.
// Without activeEnable it behaves as a plain button.
FocusScope {
    id: root

    property string normalSource: ""
    property string hoveredSource: normalSource
    property string pressedSource: hoveredSource
    property string disabledSource: normalSource
    property string activeSource: pressedSource
    property bool activeEnable: false
    property bool isActive: false
    property string tipText: ""
    property bool quickEmerge: false
    property var hostWindow: null
    property real disabledOpacity: 0.4
    property int fillMode: Image.PreserveAspectFit

    readonly property bool isHovered: mouse.containsMouse
    readonly property bool isPressed: mouse.pressed
    readonly property alias mouseArea: mouse
    readonly property alias image: img

    signal active
    signal clicked
    signal doubleClicked
    signal entered
    signal exited

    implicitWidth: img.implicitWidth > 0 ? img.implicitWidth : 24
    implicitHeight: img.implicitHeight > 0 ? img.implicitHeight : 24
    opacity: enabled ? 1.0 : disabledOpacity

    function trigger() {
        if (activeEnable) {
            isActive = !isActive;
            if (isActive)
                root.active();
        }
        root.clicked();
    }

    Keys.onReturnPressed: trigger()
    Keys.onEnterPressed: trigger()
    Keys.onSpacePressed: trigger()

    Image {
        id: img
        anchors.fill: parent
        fillMode: root.fillMode
        source: !root.enabled ? root.disabledSource
              : (root.activeEnable && root.isActive) ? root.activeSource
              : root.isPressed ? root.pressedSource
              : root.isHovered ? root.hoveredSource : root.normalSource
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        onClicked: root.trigger()
        onDoubleClicked: root.doubleClicked()
        onEntered: root.entered()
        onExited: root.exited()
    }

    ZyrTip {
        anchorItem: root
        hostWindow: root.hostWindow
        tipText: root.tipText
        quickEmerge: root.quickEmerge
        hovered: mouse.containsMouse
    }
}
