import QtQuick 2.15
import "../js/StatusTable.js" as StatusTable

// The status cell of the application pages: success icon for 1201, busy for 1200, and a
// warning icon with a text for the failures (1202 shows failureText, the error of the window
// that shows the table; 0 shows "Failed").
TableDlg {
    id: root

    property string failureText: table && table.failureText !== undefined ? table.failureText : ""
    property bool uninstall: false
    readonly property string statusKey: table && table.statusKey !== undefined ? table.statusKey : ""
    readonly property int code: StatusTable.codeUnderKey(value, statusKey)

    function iconFor(c) {
        switch (c) {
        case 1200: return "LOADING";
        case 1201: return uninstall ? "" : "SUCCESS";
        case 0: case 1202: case 1203: case 1204: case 1205: return "WARNING";
        default: return "";
        }
    }
    function textFor(c) {
        switch (c) {
        case 0: return qsTr("Failed");
        case 1202: return uninstall ? qsTr("Failed to uninstall") : failureText;
        case 1203: return qsTr("Failed to verify user name/password");
        case 1204: return qsTr("Session expired. Try again later");
        case 1205: return qsTr("Unsupported Version");
        default: return "";
        }
    }

    readonly property string iconKey: iconFor(code)
    label.text: textFor(code)
    label.anchors.leftMargin: iconKey !== "" ? 34 : 8
    label.color: "#f7c46c"

    StatusIcon {
        objectName: "statusIcon"
        anchors.verticalCenter: parent.verticalCenter
        x: 8
        width: 18
        height: 18
        icon: root.iconKey
        strTooltip: root.label.text
    }
}
