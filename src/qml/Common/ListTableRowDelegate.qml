import QtQuick 2.15

// One row of a CorvaneTable: a cell per column, drawn by the column's delegate. A click selects
// through the table's controller (Ctrl toggles, Shift extends), a double click is reported.
// The row is named "row_<index>" so tools can find it.
Rectangle {
    id: root

    property var table: null
    property int rowIndex: -1
    property var rowModel: null
    readonly property bool selected: rowModel && rowModel.selectedRole !== undefined ? !!rowModel.selectedRole : false
    readonly property var tableStyle: table ? table.tableStyle : null
    readonly property bool isHovered: rowMouse.containsMouse
    readonly property bool isCurrent: table ? table.currentRow === rowIndex : false

    objectName: "row_" + rowIndex
    color: !tableStyle ? "#ffffff"
         : selected ? tableStyle.selectedRowColor
         : isHovered ? tableStyle.hoverRowColor
         : (rowIndex % 2 ? tableStyle.alternateRowColor : tableStyle.rowColor)

    MouseArea {
        id: rowMouse
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.LeftButton
        onClicked: if (root.table) root.table.clickRow(root.rowIndex, mouse.modifiers)
        onDoubleClicked: if (root.table) root.table.rowDoubleClicked(root.rowIndex)
    }

    Row {
        anchors.fill: parent
        Repeater {
            model: root.table ? root.table.columns : []
            delegate: Loader {
                id: cell
                readonly property var column: modelData
                width: root.table.columnWidth(index)
                height: root.height
                sourceComponent: column.dlg ? column.dlg : root.table.defaultDlg
                readonly property var cellValue: root.rowModel ? root.rowModel[column.roleName] : undefined
                Binding { target: cell.item; property: "value"; value: cell.cellValue; when: cell.status === Loader.Ready }
                Binding { target: cell.item; property: "rowIndex"; value: root.rowIndex; when: cell.status === Loader.Ready }
                Binding { target: cell.item; property: "roleName"; value: cell.column.roleName; when: cell.status === Loader.Ready }
                Binding { target: cell.item; property: "rowModel"; value: root.rowModel; when: cell.status === Loader.Ready }
                Binding { target: cell.item; property: "table"; value: root.table; when: cell.status === Loader.Ready }
                Binding { target: cell.item; property: "selected"; value: root.selected; when: cell.status === Loader.Ready }
                Binding { target: cell.item; property: "horizontalAlignment"; value: cell.column.horizontalAlignment; when: cell.status === Loader.Ready }
            }
        }
    }

    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: 1
        color: root.tableStyle ? root.tableStyle.lineColor : "#dde1e6"
    }
}
