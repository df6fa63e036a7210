import QtQuick 2.15

// A two-digit number field from 0 to limit. complete follows the second digit typed (the next
// block takes over); success whenever the text is a valid number. text is kept two digits wide
// once the field loses focus.
FocusScope {
    id: root

    property int limit: 59
    property alias text: input.text
    readonly property int number: input.text === "" ? 0 : parseInt(input.text, 10)
    readonly property bool valid: /^\d{1,2}$/.test(input.text) && number <= limit
    readonly property alias input: input

    signal complete
    signal success

    implicitWidth: 36
    implicitHeight: 32

    function pad() {
        if (valid)
            input.text = (number < 10 ? "0" : "") + number;
    }

    Rectangle {
        anchors.fill: parent
        radius: 2
        color: "#2a2f3a"
        border.color: !root.valid ? "#e5a33b" : input.activeFocus ? "#25a3b7" : "#3a404d"
    }
    TextInput {
        id: input
        anchors.fill: parent
        horizontalAlignment: TextInput.AlignHCenter
        verticalAlignment: TextInput.AlignVCenter
        focus: true
        color: "#ffffff"
        font.pixelSize: 14
        maximumLength: 2
        validator: RegularExpressionValidator { regularExpression: /^\d{0,2}$/ }
        text: "00"
        selectByMouse: true
        onTextEdited: {
            if (root.valid)
                root.success();
            if (text.length === 2)
                root.complete();
        }
        onActiveFocusChanged: {
            if (activeFocus)
                selectAll();
            else
                root.pad();
        }
        Keys.onUpPressed: { input.text = String(Math.min(root.limit, root.number + 1)); root.pad(); root.success(); }
        Keys.onDownPressed: { input.text = String(Math.max(0, root.number - 1)); root.pad(); root.success(); }
    }
}
