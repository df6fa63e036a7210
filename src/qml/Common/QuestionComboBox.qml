import QtQuick 2.15

// A drop-down question over the option list (options "%s" left out). A choice is written only
// when it is one of the options. When the device pack changes the options the box first
// empties, then takes the last option. value = the text followed by unitText.
Question {
    id: root

    property string unitText: ""
    property int boxWidth: 200
    readonly property var options: {
        var list = devicePackUISet.opts;
        var out = [];
        for (var i = 0; i < list.length; ++i) {
            if (String(list[i]) !== "%s")
                out.push(String(list[i]));
        }
        return out;
    }
    readonly property alias comboBox: combo
    property alias currentText: combo.currentText

    outputValue: combo.currentText + unitText

    function write(text) {
        if (options.length > 0 && options.indexOf(text) >= 0) {
            devicePackUISet.currentOpt = text;
        } else {
            console.debug("QuestionComboBox error: cannot write a option that is not in device pack opts: " + text);
            console.debug(uid);
        }
    }

    Connections {
        target: root.devicePackUISet
        function onCurrentOptChanged() { combo.currentText = root.devicePackUISet.currentOpt; }
        function onDataReset() { combo.currentText = root.devicePackUISet.currentOpt; }
        function onOptsChangedByDevicePack() {
            combo.currentText = "";
            if (root.options.length > 0) {
                combo.currentText = root.options[root.options.length - 1];
                root.write(combo.currentText);
            }
        }
    }

    ComboBox {
        id: combo
        objectName: "questionComboBox"
        width: root.boxWidth
        height: parent.height
        optList: root.options
        currentText: root.devicePackUISet.currentOpt
        onActivated: root.write(text)
    }
}
