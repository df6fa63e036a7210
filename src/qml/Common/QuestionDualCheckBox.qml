import QtQuick 2.15

// Two check boxes for two options (uid and uid2), "1"/"0" each. It outputs two items, captioned
// with the caption, ";" and each box's text.
Question {
    id: root

    property string uid2: ""
    property string text: qsTr("Enable")
    property string text2: qsTr("Enable")
    property DevicePackUISet devicePackUISet2: DevicePackUISet {
        uid: root.uid2
        channel: root.channel
        optionStringMap: root.optionStringMap
    }
    readonly property alias checkBox1: box1
    readonly property alias checkBox2: box2

    function output() {
        function item(u, boxText, c) {
            return { "tag": root.outputTag, "uid": u, "channel": root.channel, "caption": root.outputCaption + ";" + boxText,
                     "value": c ? "Checked" : "Unchecked", "warning": !root.acceptableInput };
        }
        return [item(uid, text, box1.checked), item(uid2, text2, box2.checked)];
    }

    Row {
        spacing: 24
        height: parent.height
        CorvaneCheckBox {
            id: box1
            objectName: "questionCheckBox1"
            anchors.verticalCenter: parent.verticalCenter
            text: root.text
            checked: root.devicePackUISet.currentOpt === "1"
            onClicked: root.devicePackUISet.currentOpt = checked ? "1" : "0"
        }
        CorvaneCheckBox {
            id: box2
            objectName: "questionCheckBox2"
            anchors.verticalCenter: parent.verticalCenter
            text: root.text2
            checked: root.devicePackUISet2.currentOpt === "1"
            onClicked: root.devicePackUISet2.currentOpt = checked ? "1" : "0"
        }
    }
}
