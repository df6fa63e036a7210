import QtQuick 2.15
import "../../Common"

SettingsForm {
    id: page

    objectName: "settingsUserAccount"
    pageName: "UserAccount"
    title: qsTr("User account")

    readonly property var permissions: ({ "admin": qsTr("Admin"), "operator": qsTr("Operator"), "view": qsTr("Viewer") })

    // A click beside the boxes takes the focus from both password boxes (and so hides the hint).
    MouseArea {
        parent: page
        anchors.fill: parent
        z: -1
        onClicked: page.forceActiveFocus()
    }

    QuestionSubList {
        title: qsTr("Change device password")
        QuestionRootPasswordInputBox {
            id: password
            objectName: "questionRootPassword"
            captionText: qsTr("Password")
            uid: "uid_root_password"
            rule: page.pageCtrl && page.pageCtrl.getPasswordPolcyRule ? page.pageCtrl.getPasswordPolcyRule() : ({})
            // A text from the pack (the box has no focus) is confirmed as it stands.
            onTextChanged: if (!inputBox.activeFocus) confirm.text = text
        }
        QuestionInputBox {
            id: confirm
            objectName: "questionConfirmPassword"
            captionText: qsTr("Confirm")
            outputTag: "empty"
            inputBox.passwordMask: true
            inputBox.enableWarningImg: false
            inputBox.showInvalid: !acceptableInput
            acceptableInput: text === password.text
            hintText: ""
            readonly property string errorText: qsTr("Password does not match")
            CorvaneTip {
                anchorItem: confirm.inputBox
                warning: true
                windowName: "confirmPasswordTip"
                tipText: confirm.errorText
                forceShow: !confirm.acceptableInput && confirm.inputBox.activeFocus
            }
        }
    }
    QuestionSubList {
        title: qsTr("Privilege management")
        QuestionComboBox {
            objectName: "questionDoPermission"
            captionText: qsTr("Digital output")
            uid: "uid_security_do_permission"
            optionStringMap: page.permissions
            available: devicePackUISet.opts.length > 0
        }
        QuestionComboBox {
            objectName: "questionPtzPermission"
            captionText: qsTr("PTZ control")
            uid: "uid_security_ptz_permission"
            optionStringMap: page.permissions
            available: devicePackUISet.opts.length > 0
        }
    }
}
