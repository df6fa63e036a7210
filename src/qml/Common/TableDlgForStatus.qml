import QtQuick 2.15
import "../js/StatusTable.js" as StatusTable

// A status cell: the icon of the row's status code with its text as the tip. A value that is
// not a number (a per-page map of statuses) shows nothing.
TableDlg {
    id: root

    readonly property bool isCode: typeof value === "number"
    label.visible: false

    StatusIcon {
        objectName: "statusIcon"
        anchors.centerIn: parent
        width: 20
        height: 20
        icon: root.isCode ? StatusTable.statusIcon(root.value) : ""
        strTooltip: root.isCode ? StatusTable.statusTooltip(root.value) : ""
    }
}
