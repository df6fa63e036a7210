import QtQuick 2.15

// A row of radio buttons over a list of texts; currentText is the checked one (a text not in
// the list checks none). setByCurrent() re-checks the buttons from currentText. A click on a
// button sets currentText and emits selected.
Row {
    id: root

    property var optList: []
    property string currentText: ""
    readonly property int currentIndex: optList ? optList.indexOf(currentText) : -1

    signal selected(int index, string text)

    spacing: 24

    function setByCurrent() {
        for (var i = 0; i < buttons.count; ++i) {
            var b = buttons.itemAt(i);
            if (b)
                (function(box) { box.checked = Qt.binding(function() { return box.text === root.currentText; }); })(b);
        }
    }

    Repeater {
        id: buttons
        model: root.optList
        RadioBox {
            objectName: "radio_" + index
            text: String(modelData)
            checked: text === root.currentText
            onClicked: {
                root.currentText = text;
                checked = Qt.binding(function() { return text === root.currentText; });
                root.selected(index, text);
            }
        }
    }
}
