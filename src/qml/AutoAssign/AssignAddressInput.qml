import QtQuick 2.15
import "../Common"

// One address question of the IP assignment: its caption above an address box. optional lets
// the box stay empty; mask judges the text as a subnet mask instead of an address.
Column {
    id: root

    property string caption: ""
    property bool optional: false
    property bool mask: false
    property alias text: box.text
    property alias inputBoxName: box.objectName
    readonly property alias inputBox: box
    readonly property bool acceptable: !visible || (optional && box.text === "") || box.extendAcceptable

    signal enterPressed

    spacing: 4

    Text {
        objectName: "caption"
        width: root.width
        text: root.caption
        color: _GProperty_.fontSet.f001.color
        font.family: _GProperty_.fontSet.f001.family
        font.pixelSize: _GProperty_.fontSet.f013.size + 1
        elide: Text.ElideRight
    }
    CorvaneInputBox {
        id: box
        width: root.width
        height: 30
        validator.style: root.mask ? 7 : 4
        // An empty optional box is not marked.
        enableWarningImg: !(root.optional && text === "")
        onEnterPressed: root.enterPressed()
    }
}
