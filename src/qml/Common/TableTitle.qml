import QtQuick 2.15

// The title row of a CorvaneTable: one button per column. A click on a sortable title asks the
// table to sort by it; only the table's sort column shows its arrow.
Row {
    id: root

    property var table: null
    readonly property var tableStyle: table ? table.tableStyle : null

    Repeater {
        model: root.table ? root.table.columns : []
        delegate: Rectangle {
            id: titleCell
            objectName: "title_" + modelData.roleName
            readonly property bool isSortColumn: root.table && root.table.sortRole === modelData.roleName
            readonly property alias arrowVisible: arrow.visible
            width: root.table ? root.table.columnWidth(index) : 80
            height: root.height
            color: !root.tableStyle ? "#e4e8ec"
                 : titleMouse.pressed ? root.tableStyle.titlePressColor
                 : titleMouse.containsMouse && modelData.sortable ? root.tableStyle.titleHoverColor : root.tableStyle.titleColor

            Text {
                id: titleText
                anchors.left: parent.left
                anchors.leftMargin: 8
                anchors.right: arrow.visible ? arrow.left : parent.right
                anchors.rightMargin: 4
                anchors.verticalCenter: parent.verticalCenter
                text: modelData.title
                color: root.tableStyle ? root.tableStyle.titleTextColor : "#333333"
                font.pixelSize: root.tableStyle ? root.tableStyle.titleFontPixelSize : 13
                font.bold: true
                font.family: typeof _GProperty_ !== "undefined" ? _GProperty_.defaultFamily : font.family
                elide: Text.ElideRight
                horizontalAlignment: modelData.horizontalAlignment
            }
            Image {
                id: arrow
                objectName: "sortArrow"
                anchors.right: parent.right
                anchors.rightMargin: 4
                anchors.verticalCenter: parent.verticalCenter
                width: 14
                height: 14
                visible: titleCell.isSortColumn
                source: !root.tableStyle ? ""
                      : root.table.sortOrder === Qt.AscendingOrder ? root.tableStyle.sortUpSource : root.tableStyle.sortDownSource
            }
            Rectangle {
                anchors.right: parent.right
                width: 1
                height: parent.height
                color: root.tableStyle ? root.tableStyle.lineColor : "#dde1e6"
            }
            MouseArea {
                id: titleMouse
                anchors.fill: parent
                hoverEnabled: true
                enabled: modelData.sortable && root.table && root.table.sortable
                onClicked: root.table.sortBy(modelData.roleName)
            }
            TipArea {
                anchors.fill: parent
                tipText: titleText.truncated ? titleText.text : ""
            }
        }
    }
}
