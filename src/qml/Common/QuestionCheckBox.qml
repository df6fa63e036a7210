import QtQuick 2.15

// A check box question: writes "1" when checked and "0" otherwise (reversed with
// reverseToDevicePack) and reads the option back the same way; value "Checked"/"Unchecked".
Question {
    id: root

    property string text: qsTr("Enable")
    property bool reverseToDevicePack: false
    readonly property string onOption: reverseToDevicePack ? "0" : "1"
    readonly property bool checked: box.checked
    readonly property alias checkBox: box

    outputValue: box.checked ? "Checked" : "Unchecked"

    function setChecked(c) {
        box.checked = c;
        devicePackUISet.currentOpt = c ? onOption : (reverseToDevicePack ? "1" : "0");
    }

    Connections {
        target: root.devicePackUISet
        function onCurrentOptChanged() { box.checked = root.devicePackUISet.currentOpt === root.onOption; }
        function onDataReset() { box.checked = root.devicePackUISet.currentOpt === root.onOption; }
    }
    onReverseToDevicePackChanged: box.checked = devicePackUISet.currentOpt === onOption

    CorvaneCheckBox {
        id: box
        objectName: "questionCheckBox"
        anchors.verticalCenter: parent.verticalCenter
        text: root.text
        checked: root.devicePackUISet.currentOpt === root.onOption
        onClicked: root.setChecked(checked)
    }
}
