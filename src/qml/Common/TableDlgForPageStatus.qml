import QtQuick 2.15
import "../js/StatusTable.js" as StatusTable

// A status cell of a page's device table: the status text of the row's code under the page's
// status key (the table's statusKey), with its icon.
TableDlg {
    id: root

    readonly property string statusKey: table && table.statusKey !== undefined ? table.statusKey : ""
    readonly property int code: StatusTable.codeUnderKey(value, statusKey)
    label.text: StatusTable.statusText(code)
    label.anchors.leftMargin: 34

    StatusIcon {
        anchors.verticalCenter: parent.verticalCenter
        x: 8
        width: 18
        height: 18
        icon: StatusTable.statusIcon(root.code)
    }
}
