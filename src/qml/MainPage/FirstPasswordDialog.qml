import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15

// Asks for the first root password of the devices still in their factory state. The rules come
// from the first such device's own password policy; OK stays disabled until the password meets
// them and both boxes agree.
Dialog {
    id: root
    objectName: "firstPasswordDialog"

    property var rule: ({})
    readonly property var verdict: passwordPolicyCheck.check(passwordField.text, rule)
    readonly property bool matches: passwordField.text === confirmField.text

    title: qsTr("Set the first password")
    modal: true
    standardButtons: Dialog.Ok | Dialog.Cancel
    width: 460

    onAboutToShow: {
        passwordField.text = "";
        confirmField.text = "";
        rule = mainPageCtrl.getPasswordPolicyRuleForSetNewPassword(0);
    }
    onAccepted: mainPageCtrl.setNewFWPassword(passwordField.text)

    Component.onCompleted: standardButton(Dialog.Ok).enabled = Qt.binding(function() {
        return root.verdict.valid === true && root.matches;
    })

    ColumnLayout {
        anchors.fill: parent
        spacing: 8

        Label {
            Layout.fillWidth: true
            wrapMode: Text.WordWrap
            text: qsTr("%1 devices are waiting for the password of the root account.")
                      .arg(needPasswordFilterModel.count)
        }
        TextField {
            id: passwordField
            objectName: "firstPasswordField"
            Layout.fillWidth: true
            echoMode: TextInput.Password
            placeholderText: qsTr("Password")
        }
        TextField {
            id: confirmField
            objectName: "firstPasswordConfirmField"
            Layout.fillWidth: true
            echoMode: TextInput.Password
            placeholderText: qsTr("Confirm password")
        }
        Label {
            text: qsTr("Password must:")
            font.bold: true
        }
        Repeater {
            model: passwordPolicyCheck.hintLines(passwordField.text, root.rule)
            delegate: Label {
                text: (modelData.met ? "\u2713 " : "\u2022 ") + modelData.text
                color: modelData.met ? "#2e7d32" : "#5a6470"
            }
        }
        Label {
            text: qsTr("Password strength:")
            font.bold: true
        }
        Row {
            spacing: 4
            Repeater {
                model: passwordPolicyCheck.strengthColors(root.verdict.strength)
                delegate: Rectangle {
                    width: 72
                    height: 5
                    color: modelData
                }
            }
        }
        Label {
            visible: confirmField.text !== "" && !root.matches
            text: qsTr("The passwords do not match.")
            color: "#ee3124"
        }
    }
}
