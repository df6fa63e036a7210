import QtQuick 2.15

// A time question: the picked "hh:mm" is written; "(hh:mm)" stands beside the picker.
Question {
    id: root

    readonly property alias timePicker: picker

    outputValue: picker.currentText
    acceptableInput: picker.acceptableInput

    Connections {
        target: root.devicePackUISet
        function onCurrentOptChanged() { picker.currentText = root.devicePackUISet.currentOpt; }
        function onDataReset() { picker.currentText = root.devicePackUISet.currentOpt; }
    }

    Row {
        spacing: 8
        height: parent.height
        TimePicker {
            id: picker
            objectName: "questionTimePicker"
            anchors.verticalCenter: parent.verticalCenter
            onEdited: root.devicePackUISet.currentOpt = text
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: "(hh:mm)"
            color: "#7f8c8d"
            font.pixelSize: 12
        }
    }
}
