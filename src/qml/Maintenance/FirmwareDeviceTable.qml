import QtQuick 2.15
import "../Common"

// The devices of the firmware page, those of the group being looked at or all of them: their
// firmware status, model, address, MAC and the firmware they report.
CorvaneTable {
    id: table

    property string statusKey: "firmware"

    objectName: "firmwareDeviceTable"
    rowHeight: 40
    // The rows follow the page's group order; a sort here would not match the groups.
    sortable: false
    columns: [
        RoleInfo { roleName: "statusRole"; title: qsTr("Status"); width: 0.26; dlg: Component { TableDlgForPageStatus {} } },
        RoleInfo { roleName: "modelRole"; title: qsTr("Model"); width: 0.13 },
        RoleInfo { roleName: "ipRole"; title: qsTr("IP"); width: 0.19 },
        RoleInfo { roleName: "macRole"; title: qsTr("MAC"); width: 0.27 },
        RoleInfo { roleName: "firmwareRole"; title: qsTr("Firmware"); width: 0.15 }
    ]
}
