import QtQuick 2.15
import "../Common"
import "../OstraQuick"

// Gives the devices still in their first-use state their first root password. The rules come
// from the password policy of the device shown (asked again on every page change); "Apply all"
// sends the one password to all of them. Closing it otherwise is `dismissed`.
CorvaneWindow {
    id: root

    objectName: "passwordSettingWindow"

    property var deviceModel: null
    property var policyCheck: null
    // The main page controller, which reads a device's password policy.
    property var pageCtrl: null
    property var rule: ({})
    readonly property int count: deviceModel ? deviceModel.count : 0
    property bool applied: false
    readonly property bool passwordOk: policyCheck !== null && newPasswordInput.text !== ""
                                       && policyCheck.isValid(newPasswordInput.text, rule)
    readonly property bool confirmOk: confirmPasswordInput.text === newPasswordInput.text
    readonly property bool canApply: passwordOk && confirmOk

    signal applyAll(string password)
    signal dismissed

    title: qsTr("Set up new password for %1 device(s) with new firmware").arg(count)
    // The title is long for the window's width; a size smaller keeps it whole in English.
    titleBar.txtInfo.font.pixelSize: 13
    bodyWidth: 470
    bodyHeight: 350
    defaultFocusItem: newPasswordInput

    function readRule() {
        if (pageCtrl)
            rule = pageCtrl.getPasswordPolicyRuleForSetNewPassword(Math.max(0, pager.currentIndex));
    }

    function open() {
        applied = false;
        newPasswordInput.text = "";
        confirmPasswordInput.text = "";
        pager.currentIndex = 0;
        readRule();
        place();
        show();
        raise();
        requestActivate();
        newPasswordInput.forceActiveFocus();
    }

    function commit() {
        if (!canApply)
            return;
        applied = true;
        var password = newPasswordInput.text;
        close();
        applyAll(password);
    }

    onVisibleChanged: {
        if (visible)
            return;
        hint.showing = false;
        if (!applied)
            dismissed();
        applied = false;
    }

    Component.onCompleted: readRule()

    Item {
        id: content
        anchors.fill: parent
        focus: true
        Keys.onLeftPressed: pager.previous()
        Keys.onRightPressed: pager.next()

        DevicePager {
            id: pager
            x: 20
            y: 16
            width: parent.width - 40
            height: 84
            model: root.deviceModel
            hostWindow: root.hostWindow
            // Asking blocks until the device answers, so only for a page the user turned to.
            onCurrentIndexChanged: {
                if (root.visible)
                    root.readRule();
            }
        }

        Text {
            id: newLabel
            x: 20
            y: 118
            text: qsTr("New password")
            font.family: _GProperty_.fontSet.f010.family
            font.pixelSize: _GProperty_.fontSet.f010.size
            color: _GProperty_.fontSet.f010.color
        }
        ZyrInputBox {
            id: newPasswordInput
            objectName: "newPasswordInput"
            x: 20
            y: newLabel.y + 20
            width: parent.width - 40
            passwordMask: true
            maximumLength: 64
            extraAccept: function(t) { return root.policyCheck !== null && root.policyCheck.isValid(t, root.rule); }
            showInvalid: text !== "" && !acceptableInput
            Keys.onUpPressed: pager.previous()
            Keys.onDownPressed: pager.next()
            onEnterPressed: root.commit()
        }

        Text {
            id: confirmLabel
            x: 20
            y: newPasswordInput.y + newPasswordInput.height + 12
            text: qsTr("Confirm password")
            font.family: _GProperty_.fontSet.f010.family
            font.pixelSize: _GProperty_.fontSet.f010.size
            color: _GProperty_.fontSet.f010.color
        }
        ZyrInputBox {
            id: confirmPasswordInput
            objectName: "confirmPasswordInput"
            x: 20
            y: confirmLabel.y + 20
            width: parent.width - 40
            passwordMask: true
            maximumLength: 64
            extraAccept: function(t) { return t === newPasswordInput.text; }
            showInvalid: text !== "" && !root.confirmOk
            Keys.onUpPressed: pager.previous()
            Keys.onDownPressed: pager.next()
            onEnterPressed: root.commit()
        }
        Text {
            objectName: "passwordMismatchText"
            x: 20
            y: confirmPasswordInput.y + confirmPasswordInput.height + 6
            visible: confirmPasswordInput.text !== "" && !root.confirmOk
            text: qsTr("Password does not match")
            font.family: _GProperty_.defaultFamily
            font.pixelSize: 12
            color: _GProperty_.errorColor
        }

        CorvaneButton {
            objectName: "applyAllButton"
            anchors.right: parent.right
            anchors.rightMargin: 20
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 16
            width: 120
            btnText: qsTr("Apply all")
            actived: true
            enabled: root.canApply
            hostWindow: root.hostWindow
            onApply: root.commit()
        }
    }

    PasswordHintWindow {
        id: hint
        hostWindow: root.hostWindow
        anchorItem: newPasswordInput
        policyCheck: root.policyCheck
        rule: root.rule
        password: newPasswordInput.text
        showing: root.visible && newPasswordInput.activeFocus
    }
}
