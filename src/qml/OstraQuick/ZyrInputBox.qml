import QtQuick 2.15

// A single-line input with a hint, an optional icon, a password mask and validation by
// expression number (GlobalProperty.inputRegExps). With syncValidator the expression restricts
// typing; otherwise anything can be typed and acceptableInput tells whether the whole text
// matches. Expressions 1 and 26, or passwordMask, mask the text. Enter emits enterPressed;
// inputAccept follows only when the text is acceptable. inputBoxTxtInfo is the inner TextInput.
FocusScope {
    id: root

    property int inputStyle: 0
    property bool passwordMask: false
    property bool syncValidator: false
    property alias text: input.text
    property alias readOnly: input.readOnly
    property int maximumLength: 32767
    property string hintText: ""
    property string iconSource: ""
    property bool iconOnRight: false
    readonly property alias inputBoxTxtInfo: input
    // An extra rule of the owner, on top of the expression (the program's validator).
    property var extraAccept: null
    readonly property bool expressionAccepted: root.expression.test(input.text)
    readonly property bool acceptableInput: expressionAccepted && (syncValidator ? input.acceptableInput : true)
        && (extraAccept ? extraAccept(input.text) : true)
    readonly property bool masked: passwordMask || inputStyle === 1 || inputStyle === 26
    readonly property bool hovered: hoverMouse.containsMouse

    property color backgroundColor: "#2a2f3a"
    property color borderColor: "#3a404d"
    property color focusBorderColor: "#25a3b7"
    property color invalidBorderColor: "#e5a33b"
    property bool showInvalid: false
    property color textColor: "#ffffff"
    property color hintColor: "#7f8c8d"
    property int fontPixelSize: 14
    property real disabledOpacity: 0.4
    property int radius: 2

    readonly property var expression: (typeof _GProperty_ !== "undefined" && _GProperty_.inputRegExp)
        ? _GProperty_.inputRegExp(inputStyle) : /^.*$/

    signal inputAccept(string text)
    signal enterPressed
    signal textEdited

    implicitWidth: 200
    implicitHeight: 32
    opacity: enabled ? 1.0 : disabledOpacity

    function selectAll() { input.selectAll(); }
    function clear() { input.clear(); }

    Rectangle {
        anchors.fill: parent
        radius: root.radius
        color: root.backgroundColor
        border.width: 1
        border.color: root.showInvalid ? root.invalidBorderColor
                    : input.activeFocus ? root.focusBorderColor : root.borderColor
    }

    Image {
        id: icon
        anchors.verticalCenter: parent.verticalCenter
        x: root.iconOnRight ? root.width - width - 6 : 6
        source: root.iconSource
        visible: source != ""
    }

    MouseArea {
        id: hoverMouse
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.IBeamCursor
        onPressed: {
            input.forceActiveFocus();
            mouse.accepted = false;
        }
    }

    TextInput {
        id: input
        objectName: "inputText"
        anchors.verticalCenter: parent.verticalCenter
        x: icon.visible && !root.iconOnRight ? icon.width + 12 : 8
        width: root.width - x - (icon.visible && root.iconOnRight ? icon.width + 12 : 8)
        focus: true
        clip: true
        selectByMouse: true
        color: root.textColor
        selectionColor: "#1b8b9d"
        font.pixelSize: root.fontPixelSize
        font.family: typeof _GProperty_ !== "undefined" ? _GProperty_.defaultFamily : font.family
        maximumLength: root.maximumLength
        echoMode: root.masked ? TextInput.Password : TextInput.Normal
        validator: root.syncValidator ? typingValidator : null
        onTextEdited: root.textEdited()
        Keys.onReturnPressed: root.handleEnter()
        Keys.onEnterPressed: root.handleEnter()

        Text {
            anchors.fill: parent
            verticalAlignment: Text.AlignVCenter
            text: root.hintText
            color: root.hintColor
            font: input.font
            elide: Text.ElideRight
            visible: input.text === "" && !input.inputMethodComposing
        }
    }

    RegularExpressionValidator {
        id: typingValidator
        regularExpression: root.expression
    }

    function handleEnter() {
        root.enterPressed();
        if (root.acceptableInput)
            root.inputAccept(input.text);
    }
}
