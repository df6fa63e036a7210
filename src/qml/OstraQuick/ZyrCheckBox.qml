import QtQuick 2.15

// A check box with a text. A click on the box (or, unless clickOnBoxOnly, on the text) toggles
// `checked` and emits clicked. txtCheckInfo is the inner Text.
FocusScope {
    id: root

    property bool checked: false
    property bool clickOnBoxOnly: false
    readonly property alias txtCheckInfo: label
    property int boxSize: 16
    property int spacing: 8
    property color boxColor: "#2a2f3a"
    property color boxBorderColor: "#7f8c8d"
    property color checkedColor: "#1b8b9d"
    property color hoverBorderColor: "#25a3b7"
    property color markColor: "#ffffff"
    property real disabledOpacity: 0.4
    readonly property bool isHovered: boxMouse.containsMouse || textMouse.containsMouse
    readonly property bool isPressed: boxMouse.pressed || textMouse.pressed

    signal clicked

    implicitWidth: box.width + (label.text !== "" ? spacing + label.implicitWidth : 0)
    implicitHeight: Math.max(boxSize, label.implicitHeight)
    opacity: enabled ? 1.0 : disabledOpacity
    activeFocusOnTab: true

    function toggle() {
        checked = !checked;
        clicked();
    }

    Keys.onSpacePressed: toggle()

    Rectangle {
        id: box
        objectName: "checkBoxBox"
        anchors.verticalCenter: parent.verticalCenter
        width: root.boxSize
        height: root.boxSize
        radius: 2
        color: root.checked ? (root.isPressed ? Qt.darker(root.checkedColor, 1.2) : root.checkedColor)
                            : (root.isPressed ? Qt.darker(root.boxColor, 1.2) : root.boxColor)
        border.width: 1
        border.color: root.isHovered || root.activeFocus ? root.hoverBorderColor
                    : root.checked ? root.checkedColor : root.boxBorderColor

        Canvas {
            id: mark
            anchors.fill: parent
            anchors.margins: 3
            visible: root.checked
            onPaint: {
                var ctx = getContext("2d");
                ctx.reset();
                ctx.strokeStyle = root.markColor;
                ctx.lineWidth = Math.max(1.5, width / 6);
                ctx.beginPath();
                ctx.moveTo(0, height * 0.55);
                ctx.lineTo(width * 0.4, height * 0.9);
                ctx.lineTo(width, height * 0.1);
                ctx.stroke();
            }
            onWidthChanged: requestPaint()
            onVisibleChanged: requestPaint()
        }

        MouseArea {
            id: boxMouse
            anchors.fill: parent
            hoverEnabled: true
            onClicked: root.toggle()
        }
    }

    Text {
        id: label
        anchors.verticalCenter: parent.verticalCenter
        x: box.width + root.spacing
        width: Math.max(0, Math.min(implicitWidth, root.width - x))
        color: "#ffffff"
        font.pixelSize: 14
        font.family: typeof _GProperty_ !== "undefined" ? _GProperty_.defaultFamily : font.family
        elide: Text.ElideRight

        MouseArea {
            id: textMouse
            anchors.fill: parent
            enabled: !root.clickOnBoxOnly
            hoverEnabled: true
            onClicked: root.toggle()
        }
    }
}
