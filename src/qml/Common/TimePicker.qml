import QtQuick 2.15

// A time input of hours (0-23) and minutes (0-59); currentText is hours + ":" + minutes, two
// digits each. Setting currentText fills the blocks. edited follows a user change.
FocusScope {
    id: root

    property string currentText: hours.text + ":" + minutes.text
    readonly property bool acceptableInput: hours.valid && minutes.valid
    readonly property alias hoursBlock: hours
    readonly property alias minutesBlock: minutes

    signal edited(string text)

    implicitWidth: row.implicitWidth
    implicitHeight: 32

    function two(n) { return (n < 10 ? "0" : "") + n; }

    onCurrentTextChanged: {
        var m = /^(\d{1,2}):(\d{1,2})$/.exec(currentText);
        if (!m)
            return;
        var h = two(parseInt(m[1], 10));
        var mi = two(parseInt(m[2], 10));
        if (hours.text !== h)
            hours.text = h;
        if (minutes.text !== mi)
            minutes.text = mi;
    }

    function userChanged() {
        currentText = two(hours.number) + ":" + two(minutes.number);
        edited(currentText);
    }

    Row {
        id: row
        spacing: 4
        DigitBlock {
            id: hours
            objectName: "hoursBlock"
            limit: 23
            focus: true
            onComplete: minutes.forceActiveFocus()
            onSuccess: root.userChanged()
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: ":"
            color: "#ffffff"
            font.pixelSize: 14
        }
        DigitBlock {
            id: minutes
            objectName: "minutesBlock"
            limit: 59
            onSuccess: root.userChanged()
        }
    }
}
