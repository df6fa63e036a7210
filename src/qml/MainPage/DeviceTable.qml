import QtQuick 2.15
import "../Common"
import "DeviceCells.js" as DeviceCells

// The devices of the main page in one table: status, model, address, MAC, firmware, the three
// ports and the SD card. Selection, sorting by a click on a title and the keys are the kit
// table's; a double click opens the device's web page.
CorvaneTable {
    id: root

    property var tableModel: null
    property var tableCtrl: null
    property var hostWindow: null

    // The fixed columns take their pixels; the others share the rest in the proportions of a
    // 910 px wide table.
    readonly property real fixedWidth: 130 + 90
    readonly property real shareUnit: Math.max(0, (listView.width - fixedWidth)) / 0.99

    signal openWebPage(string url)

    model: tableModel
    ctrl: tableCtrl
    rowHeight: 40

    onRowDoubleClicked: {
        var item = listView.itemAtIndex(row);
        if (!item || !item.rowEntry)
            return;
        openWebPage(DeviceCells.webPageUrl(item.rowEntry.ipRole, item.rowEntry.httpPortRole));
    }

    Component {
        id: portCell
        TableDlg {
            label.text: DeviceCells.portText(value)
        }
    }
    Component {
        id: sdCell
        TableDlg {
            label.text: DeviceCells.sdCardText(value)
        }
    }
    Component {
        id: statusCell
        TableDlgForStatus {}
    }

    columns: [
        RoleInfo { roleName: "statusRole"; title: qsTr("Status"); width: 0.09 * root.shareUnit; minWidth: 56; dlg: statusCell },
        RoleInfo { roleName: "modelRole"; title: qsTr("Model"); width: 0.15 * root.shareUnit; minWidth: 60 },
        RoleInfo { roleName: "ipRole"; title: qsTr("IP"); width: 0.17 * root.shareUnit; minWidth: 60 },
        RoleInfo { roleName: "macRole"; title: qsTr("MAC"); width: 0.19 * root.shareUnit; minWidth: 60 },
        RoleInfo { roleName: "firmwareRole"; title: qsTr("Firmware"); width: 0.12 * root.shareUnit; minWidth: 50 },
        RoleInfo { roleName: "httpPortRole"; title: qsTr("HTTP"); width: 0.09 * root.shareUnit; minWidth: 40; dlg: portCell },
        RoleInfo { roleName: "httpsPortRole"; title: qsTr("HTTPS"); width: 0.09 * root.shareUnit; minWidth: 40; dlg: portCell },
        RoleInfo { roleName: "cmsPortRole"; title: qsTr("Client"); width: 0.09 * root.shareUnit; minWidth: 40; dlg: portCell },
        RoleInfo { roleName: "sdCardStatusRole"; title: qsTr("SD card status"); width: 130; minWidth: 130; dlg: sdCell },
        RoleInfo { roleName: "sdCardUseRole"; title: qsTr("Use (%)"); width: 90; minWidth: 90 }
    ]
}
