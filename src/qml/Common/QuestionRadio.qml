import QtQuick 2.15

// A question answered by one of a row of radio buttons over the options; the choice is written.
Question {
    id: root

    readonly property alias radioRow: radios
    property alias currentText: radios.currentText

    outputValue: radios.currentText

    Connections {
        target: root.devicePackUISet
        function onCurrentOptChanged() { radios.currentText = root.devicePackUISet.currentOpt; }
        function onDataReset() { radios.currentText = root.devicePackUISet.currentOpt; }
    }

    RadioRow {
        id: radios
        objectName: "questionRadioRow"
        height: parent.height
        optList: root.devicePackUISet.opts
        currentText: root.devicePackUISet.currentOpt
        onSelected: root.devicePackUISet.currentOpt = text
    }
}
