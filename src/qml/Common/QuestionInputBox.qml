import QtQuick 2.15

// A text question: shows the option's value, writes the text on every change. Acceptable when
// the validator accepts it, or when it is empty and allowEmpty (the default). Enter applies.
Question {
    id: root

    property bool allowEmpty: true
    property alias validator: input.validator
    property alias text: input.text
    property alias hintText: input.hintText
    property int boxWidth: 240
    readonly property alias inputBox: input

    acceptableInput: input.extendAcceptable || (allowEmpty && input.text === "")
    outputValue: input.text

    Connections {
        target: root.devicePackUISet
        function onCurrentOptChanged() { if (input.text !== root.devicePackUISet.currentOpt) input.text = root.devicePackUISet.currentOpt; }
        function onDataReset() { input.text = root.devicePackUISet.currentOpt; }
    }

    CorvaneInputBox {
        id: input
        objectName: "questionInputBox"
        width: root.boxWidth
        height: parent.height
        text: root.devicePackUISet.currentOpt
        onTextChanged: if (root.devicePackUISet.currentOpt !== text) root.devicePackUISet.currentOpt = text
        onEnterPressed: if (root.acceptableInput) root.requestApply()
    }
}
