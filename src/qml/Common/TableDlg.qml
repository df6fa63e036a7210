import QtQuick 2.15

// A table cell: the row's value of the column's role as text, elided, with the full text as a
// tip when it does not fit. Cell delegates derive from it and get the same properties.
Item {
    id: root

    property var value: undefined
    property int rowIndex: -1
    property string roleName: ""
    property var rowModel: null
    property var table: null
    property bool selected: false
    property var tableStyle: table ? table.tableStyle : null
    property int horizontalAlignment: Text.AlignLeft
    readonly property string displayText: value === undefined || value === null ? "" : String(value)
    readonly property alias label: label

    clip: true

    Text {
        id: label
        anchors.fill: parent
        anchors.leftMargin: 8
        anchors.rightMargin: 8
        verticalAlignment: Text.AlignVCenter
        horizontalAlignment: root.horizontalAlignment
        text: root.displayText
        color: root.tableStyle ? (root.selected ? root.tableStyle.selectedTextColor : root.tableStyle.textColor) : "#333333"
        font.pixelSize: root.tableStyle ? root.tableStyle.fontPixelSize : 13
        font.family: typeof _GProperty_ !== "undefined" ? _GProperty_.defaultFamily : font.family
        elide: Text.ElideRight
    }

    TipArea {
        anchors.fill: parent
        tipText: label.truncated ? label.text : ""
    }
}
