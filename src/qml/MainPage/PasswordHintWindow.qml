import QtQuick 2.15
import QtQuick.Window 2.15

// The hint under a new-password box: the rules of the device's password policy, each marked met
// or not, and the strength of the typed password in three bars. It shows while showing is set
// (the box has focus) and follows the box.
Window {
    id: root

    objectName: "passwordHintWindow"

    property var hostWindow: null
    property var anchorItem: null
    property var policyCheck: null
    property var rule: ({})
    property string password: ""
    property bool showing: false
    readonly property var lines: policyCheck ? policyCheck.hintLines(password, rule) : []
    readonly property int strength: policyCheck ? policyCheck.strength(password, rule) : 0
    readonly property var barColors: policyCheck ? policyCheck.strengthColors(strength)
                                                 : ["#999999", "#999999", "#999999"]
    readonly property real xScale: hostWindow && hostWindow.xScale ? hostWindow.xScale : 1
    readonly property real yScale: hostWindow && hostWindow.yScale ? hostWindow.yScale : 1

    flags: Qt.ToolTip | Qt.FramelessWindowHint | Qt.WindowDoesNotAcceptFocus
    color: "#f7f7f7"
    width: Math.round(body.width * xScale)
    height: Math.round(body.height * yScale)
    visible: showing && anchorItem !== null && anchorItem.visible

    function place() {
        if (!anchorItem || !anchorItem.Window.window)
            return;
        var p = anchorItem.mapToItem(null, 0, anchorItem.height + 4);
        x = anchorItem.Window.window.x + Math.round(p.x);
        y = anchorItem.Window.window.y + Math.round(p.y);
    }
    onVisibleChanged: if (visible) place()

    Item {
        id: body
        width: 330
        height: column.implicitHeight + 24
        transform: Scale {
            xScale: root.xScale
            yScale: root.yScale
        }

        Column {
            id: column
            x: 12
            y: 12
            width: parent.width - 24
            spacing: 4

            Text {
                text: qsTr("Password must:")
                font.family: _GProperty_.defaultFamily
                font.pixelSize: 12
                font.bold: true
                color: "#333333"
            }
            Repeater {
                model: root.lines
                delegate: Row {
                    objectName: "hintLine_" + modelData.check
                    spacing: 6
                    width: column.width
                    Text {
                        width: 12
                        text: modelData.met ? "\u2713" : "\u2022"
                        font.pixelSize: 12
                        color: modelData.met ? "#7eb338" : "#999999"
                    }
                    Text {
                        width: parent.width - 18
                        wrapMode: Text.WordWrap
                        text: modelData.text
                        font.family: _GProperty_.defaultFamily
                        font.pixelSize: 12
                        color: modelData.met ? "#333333" : "#7f8c8d"
                    }
                }
            }
            Item {
                width: 1
                height: 4
            }
            Text {
                text: qsTr("Password strength:")
                font.family: _GProperty_.defaultFamily
                font.pixelSize: 12
                font.bold: true
                color: "#333333"
            }
            Row {
                spacing: 4
                Repeater {
                    model: root.barColors
                    delegate: Rectangle {
                        objectName: "strengthBar" + index
                        width: 72
                        height: 5
                        color: modelData
                    }
                }
            }
        }
    }
}
