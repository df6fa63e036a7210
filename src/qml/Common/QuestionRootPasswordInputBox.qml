import QtQuick 2.15
import QtQuick.Window 2.15

// The root password question: masked, acceptable when the password policy accepts the text or
// it is empty. While it has focus a hint under the box lists the policy's rules, met or not,
// and the strength. A data reset clears the text. rule is the policy's rule map.
Question {
    id: root

    property var rule: ({})
    property var policyCheck: typeof passwordPolicyCheck !== "undefined" ? passwordPolicyCheck : null
    property alias text: input.text
    property int boxWidth: 240
    readonly property alias inputBox: input
    readonly property bool policyAccepts: policyCheck !== null && policyCheck.isValid(input.text, rule)
    readonly property alias hintWindow: hint

    acceptableInput: input.text === "" || policyAccepts
    outputValue: input.text

    Connections {
        target: root.devicePackUISet
        function onDataReset() { input.text = ""; }
    }

    CorvaneInputBox {
        id: input
        objectName: "rootPasswordInputBox"
        width: root.boxWidth
        height: parent.height
        passwordMask: true
        enableWarningImg: false
        showInvalid: !root.acceptableInput
        onTextChanged: if (root.devicePackUISet.currentOpt !== text) root.devicePackUISet.currentOpt = text
        onEnterPressed: if (root.acceptableInput) root.requestApply()
    }

    readonly property var lines: policyCheck ? policyCheck.hintLines(input.text, rule) : []
    readonly property int strength: policyCheck ? policyCheck.strength(input.text, rule) : 0
    readonly property var strengthColors: policyCheck ? policyCheck.strengthColors(strength) : ["#999999", "#999999", "#999999"]

    Window {
        id: hint
        objectName: "rootPasswordHint"
        flags: Qt.ToolTip | Qt.FramelessWindowHint | Qt.WindowDoesNotAcceptFocus
        color: "#242833"
        visible: input.activeFocus && root.available && root.Window.window !== null && root.Window.window.visible
        width: hintColumn.width + 24
        height: hintColumn.height + 20
        onVisibleChanged: {
            if (!visible)
                return;
            var win = input.Window.window;
            var p = input.mapToItem(null, 0, input.height + 4);
            x = Math.round((win ? win.x : 0) + p.x);
            y = Math.round((win ? win.y : 0) + p.y);
        }
        Column {
            id: hintColumn
            x: 12
            y: 10
            spacing: 4
            Text { text: qsTr("Password must:"); color: "#ffffff"; font.pixelSize: 12; font.bold: true }
            Repeater {
                model: root.lines
                Text {
                    text: (modelData.met ? "\u2713 " : "\u2022 ") + modelData.text
                    color: modelData.met ? "#7eb338" : "#bbd0d6"
                    font.pixelSize: 12
                }
            }
            Text { text: qsTr("Password strength:"); color: "#ffffff"; font.pixelSize: 12 }
            Row {
                spacing: 4
                Repeater {
                    model: 3
                    Rectangle { width: 72; height: 5; color: root.strengthColors[index] }
                }
            }
        }
    }
}
