import QtQuick 2.15
import "../Common"
import "../OstraQuick"

// Asks for the credentials of the selected devices that are not authorized yet, before the main
// page may be left. It pages through those devices one at a time. The page closes it with
// completed set when they are all authorized (the navigation then goes on); any other close by
// the user is `dismissed` and the main page stays.
CorvaneWindow {
    id: root

    objectName: "authorizeWindow"

    property var deviceModel: null
    readonly property int count: deviceModel ? deviceModel.count : 0
    // Set just before the page closes the window because the work is done.
    property bool completed: false
    // Set just before the page closes the window for the first-password window.
    property bool handOver: false
    readonly property bool canApply: userInput.extendAcceptable && passwordInput.acceptableInput

    signal apply(string user, string password)
    signal dismissed

    title: qsTr("Authorize %1 device(s) before setup").arg(count)
    bodyWidth: 420
    bodyHeight: 302
    defaultFocusItem: userInput

    function open() {
        completed = false;
        handOver = false;
        pager.currentIndex = 0;
        place();
        show();
        raise();
        requestActivate();
        userInput.forceActiveFocus();
    }

    function commit() {
        if (canApply)
            apply(userInput.text, passwordInput.text);
    }

    onVisibleChanged: {
        if (visible)
            return;
        if (!completed && !handOver)
            dismissed();
        completed = false;
        handOver = false;
    }

    Item {
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
        }

        Text {
            id: userLabel
            x: 20
            y: 118
            text: qsTr("User name")
            font.family: _GProperty_.fontSet.f010.family
            font.pixelSize: _GProperty_.fontSet.f010.size
            color: _GProperty_.fontSet.f010.color
        }
        CorvaneInputBox {
            id: userInput
            objectName: "authorizeWindowUserInput"
            x: 20
            y: userLabel.y + 20
            width: parent.width - 40
            validator.style: 2
            maximumLength: 64
            // Left and Right move the cursor in a box; Up and Down page instead.
            Keys.onUpPressed: pager.previous()
            Keys.onDownPressed: pager.next()
            onEnterPressed: root.commit()
        }

        Text {
            id: passwordLabel
            x: 20
            y: userInput.y + userInput.height + 12
            text: qsTr("Password")
            font.family: _GProperty_.fontSet.f010.family
            font.pixelSize: _GProperty_.fontSet.f010.size
            color: _GProperty_.fontSet.f010.color
        }
        ZyrInputBox {
            id: passwordInput
            objectName: "authorizeWindowPasswordInput"
            x: 20
            y: passwordLabel.y + 20
            width: parent.width - 40
            inputStyle: 1
            passwordMask: true
            maximumLength: 64
            Keys.onUpPressed: pager.previous()
            Keys.onDownPressed: pager.next()
            onEnterPressed: root.commit()
        }

        CorvaneButton {
            objectName: "authorizeWindowApplyButton"
            anchors.right: parent.right
            anchors.rightMargin: 20
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 16
            width: 110
            btnText: qsTr("Apply")
            actived: true
            enabled: root.canApply
            hostWindow: root.hostWindow
            onApply: root.commit()
        }
    }
}
