import QtQuick 2.15
import "../Common"

// The devices of a package or licence tab, those of the group looked at or all of them: their
// status under the group's key, model, address, MAC and the package version they report.
CorvaneTable {
    id: table

    property string statusKey: ""

    rowHeight: 40
    sortable: false
    columns: [
        RoleInfo { roleName: "statusRole"; title: qsTr("Status"); width: 0.2; dlg: Component { TableDlgForPageStatus {} } },
        RoleInfo { roleName: "modelRole"; title: qsTr("Model"); width: 0.13 },
        RoleInfo { roleName: "ipRole"; title: qsTr("IP"); width: 0.2 },
        RoleInfo { roleName: "macRole"; title: qsTr("MAC"); width: 0.25 },
        RoleInfo { roleName: "zapkVerRole"; title: qsTr("Package version"); width: 0.22 }
    ]
}
