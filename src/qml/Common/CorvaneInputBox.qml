import QtQuick 2.15
import "../OstraQuick"

// The program's input box: a ZyrInputBox judged by a CorvaneValidator (set validator.style and
// its bounds). extendAcceptable holds when the text passes both. Once the user has typed, or
// when the box holds text, a refused text is `invalid`: the warning image shows and, while the
// box has focus or the pointer, the validator's error text shows as a warning tip.
ZyrInputBox {
    id: root

    property CorvaneValidator validator: CorvaneValidator {}
    readonly property string errorText: validator.errorText
    readonly property bool extendAcceptable: acceptableInput
    property bool enableWarningImg: true
    property bool edited: false
    readonly property bool invalid: !extendAcceptable && (edited || text !== "")
    property string tipWindowName: "inputErrorTip"
    readonly property alias errorTip: errorTip

    inputStyle: validator.regExpStyle
    syncValidator: validator.syncValidator
    maximumLength: validator.maximumLength
    extraAccept: function(t) { return root.validator.accept(t); }
    showInvalid: invalid
    onTextEdited: edited = true

    Rectangle {
        id: warningImg
        objectName: "warningImg"
        visible: root.enableWarningImg && root.invalid
        anchors.verticalCenter: parent.verticalCenter
        anchors.right: parent.right
        anchors.rightMargin: 6
        width: 16
        height: 16
        radius: 8
        color: "#e5a33b"
        Text {
            anchors.centerIn: parent
            text: "!"
            color: "#1a1d24"
            font.bold: true
            font.pixelSize: 12
        }
    }

    CorvaneTip {
        id: errorTip
        anchorItem: root
        windowName: root.tipWindowName
        warning: true
        tipText: root.errorText
        forceShow: root.invalid && (root.activeFocus || root.hovered)
    }
}
