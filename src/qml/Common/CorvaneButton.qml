import QtQuick 2.15
import "../OstraQuick"

// The program's push button: text and/or image, an active (highlighted) look for the main
// action, hover and press looks, a disabled colour and an optional tip. `apply` is its click.
FocusScope {
    id: root

    property string btnText: ""
    property string source: ""
    property color normalColor: "#3a404d"
    property color activeColor: "#1b8b9d"
    property color disableColor: "#4a4f59"
    property color textColor: "#ffffff"
    property bool actived: false
    property string tipText: ""
    property bool quickEmerge: false
    property var hostWindow: null
    property int radius: 2
    property int fontPixelSize: 14
    property bool fontBold: false

    readonly property bool isHovered: mouse.containsMouse
    readonly property bool isPressed: mouse.pressed
    readonly property alias label: label

    signal apply

    implicitWidth: Math.max(content.implicitWidth + 24, 80)
    implicitHeight: 32
    activeFocusOnTab: true

    Keys.onReturnPressed: root.apply()
    Keys.onEnterPressed: root.apply()
    Keys.onSpacePressed: root.apply()

    readonly property color baseColor: actived ? activeColor : normalColor

    Rectangle {
        id: background
        anchors.fill: parent
        radius: root.radius
        color: !root.enabled ? root.disableColor
             : root.isPressed ? Qt.darker(root.baseColor, 1.25)
             : root.isHovered ? Qt.lighter(root.baseColor, 1.2) : root.baseColor
        border.width: root.activeFocus ? 1 : 0
        border.color: "#bbd0d6"
    }

    Row {
        id: content
        anchors.centerIn: parent
        spacing: icon.visible && label.visible ? 6 : 0
        opacity: root.enabled ? 1.0 : 0.5
        Image {
            id: icon
            anchors.verticalCenter: parent.verticalCenter
            source: root.source
            visible: source != ""
        }
        Text {
            id: label
            anchors.verticalCenter: parent.verticalCenter
            width: Math.min(implicitWidth, root.width - 16 - (icon.visible ? icon.width + 6 : 0))
            text: root.btnText
            visible: text !== ""
            color: root.textColor
            font.family: typeof _GProperty_ !== "undefined" ? _GProperty_.defaultFamily : font.family
            font.pixelSize: root.fontPixelSize
            font.bold: root.fontBold
            elide: Text.ElideRight
        }
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        onClicked: {
            root.forceActiveFocus();
            root.apply();
        }
    }

    CorvaneTip {
        anchorItem: root
        hostWindow: root.hostWindow
        // A truncated caption shows in full as the tip when no tip of its own is set.
        tipText: root.tipText !== "" ? root.tipText : (label.truncated ? root.btnText : "")
        quickEmerge: root.quickEmerge
        hovered: mouse.containsMouse
    }
}
