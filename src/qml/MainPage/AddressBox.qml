import QtQuick 2.15
import "../js/IpRange.js" as IpRange

// Four address fields with dots between them. Each field takes a number 0-255 and, while
// wildcardAllowed, a "*"; Space or "." moves on to the next field, Backspace in an empty field
// goes back to the one before. The fields are named namePrefix + 0..3 for harnesses.
FocusScope {
    id: root

    property string namePrefix: "addressField"
    property bool wildcardAllowed: false
    // The texts of the four fields, left to right.
    property var fields: ["", "", "", ""]
    readonly property bool complete: IpRange.addressComplete(fields, wildcardAllowed)

    // A field lost its focus while the box still has it, or Enter was pressed in a field.
    signal accepted

    implicitWidth: fieldRow.implicitWidth
    implicitHeight: 32

    function setFields(list) {
        fields = list.slice();
    }

    function focusField(i) {
        if (i >= 0 && i < 4)
            repeater.itemAt(i).input.forceActiveFocus();
    }

    // The fields follow the list; typing writes back into it.
    function showFields() {
        for (var i = 0; i < 4; ++i) {
            var item = repeater.itemAt(i);
            if (item && item.input.text !== fields[i])
                item.input.text = fields[i];
        }
    }
    onFieldsChanged: showFields()
    Component.onCompleted: showFields()

    function setField(i, text) {
        var list = fields.slice();
        list[i] = text;
        fields = list;
    }

    Rectangle {
        anchors.fill: parent
        color: _GProperty_.inputColor
        border.color: root.activeFocus ? _GProperty_.accentColor : _GProperty_.lineColor
        radius: 2
    }

    Row {
        id: fieldRow
        anchors.verticalCenter: parent.verticalCenter
        x: 4
        Repeater {
            id: repeater
            model: 4
            delegate: Row {
                property alias input: field
                Text {
                    visible: index > 0
                    width: 8
                    height: root.height
                    text: "."
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignBottom
                    bottomPadding: 8
                    font.family: _GProperty_.fontSet.f001.family
                    font.pixelSize: _GProperty_.fontSet.f001.size
                    color: _GProperty_.fontSet.f001.color
                }
                TextInput {
                    id: field
                    objectName: root.namePrefix + index
                    width: 40
                    height: root.height
                    verticalAlignment: TextInput.AlignVCenter
                    horizontalAlignment: TextInput.AlignHCenter
                    maximumLength: 3
                    selectByMouse: true
                    clip: true
                    font.family: _GProperty_.fontSet.f001.family
                    font.pixelSize: _GProperty_.fontSet.f001.size
                    color: _GProperty_.fontSet.f001.color
                    selectionColor: _GProperty_.accentColor
                    // The text that was last acceptable; anything else typed or pasted is undone.
                    property string lastGood: ""
                    onTextChanged: {
                        if (!IpRange.fieldAccepts(text, root.wildcardAllowed)) {
                            var keep = IpRange.fieldAccepts(lastGood, root.wildcardAllowed) ? lastGood : "";
                            text = keep;
                            return;
                        }
                        lastGood = text;
                        if (root.fields[index] !== text)
                            root.setField(index, text);
                    }
                    Keys.onPressed: {
                        if (event.key === Qt.Key_Space || event.key === Qt.Key_Period) {
                            event.accepted = true;
                            root.focusField(index + 1);
                        } else if (event.key === Qt.Key_Backspace && text === "" && index > 0) {
                            event.accepted = true;
                            root.focusField(index - 1);
                        }
                    }
                    onAccepted: root.accepted()
                    Component.onCompleted: text = root.fields[index]
                    onActiveFocusChanged: {
                        if (activeFocus)
                            selectAll();
                    }
                }
            }
        }
    }
}
