import QtQuick 2.15
import QtQuick.Window 2.15
import "../Common"

// The result of a set-up step on the selected devices, in a drop-down window under anchorItem:
// each device's application status under statusKey (1202 reads failureText), with the
// signature version the Trend Micro steps report when showSignature is set.
Item {
    id: root

    property var model: typeof zapkSelectedDevicesModel !== "undefined" ? zapkSelectedDevicesModel : null
    property var ctrl: typeof zapkSelectedModelCtrl !== "undefined" ? zapkSelectedModelCtrl : null
    property string statusKey: "zapkOnOff"
    property string failureText: ""
    property bool showSignature: false
    property Item anchorItem: parent
    property var hostWindow: null
    readonly property bool opened: box.visible
    readonly property alias table: table

    function open() {
        if (anchorItem) {
            var win = anchorItem.Window.window;
            var p = anchorItem.mapToItem(null, 0, anchorItem.height + 4);
            box.x = Math.round((win ? win.x : 0) + p.x);
            box.y = Math.round((win ? win.y : 0) + p.y);
        }
        box.show();
    }
    function close() {
        box.hide();
    }
    function toggle() {
        opened ? close() : open();
    }

    Window {
        id: box
        objectName: "tableBoxWindow"
        flags: Qt.Tool | Qt.FramelessWindowHint
        color: "#1a1d24"
        visible: false
        transientParent: root.hostWindow ? root.hostWindow : root.Window.window
        width: 640
        height: 320

        CorvaneTable {
            id: table
            objectName: "tableBox"
            property string statusKey: root.statusKey
            property string failureText: root.failureText
            anchors.fill: parent
            model: root.model
            ctrl: root.ctrl
            rowHeight: 32
            sortable: false
            tableStyle: TableStyleBlack {}
            columns: root.showSignature ? signatureColumns.columns : plainColumns.columns
        }
    }

    QtObject {
        id: plainColumns
        property list<RoleInfo> columns: [
            RoleInfo { roleName: "statusRole"; title: qsTr("Status"); width: 0.34; dlg: Component { TableDlgForZAPKStatus {} } },
            RoleInfo { roleName: "modelRole"; title: qsTr("Model"); width: 0.22 },
            RoleInfo { roleName: "ipRole"; title: qsTr("IP"); width: 0.2 },
            RoleInfo { roleName: "macRole"; title: qsTr("MAC"); width: 0.24 }
        ]
    }
    QtObject {
        id: signatureColumns
        property list<RoleInfo> columns: [
            RoleInfo { roleName: "statusRole"; title: qsTr("Status"); width: 0.3; dlg: Component { TableDlgForZAPKStatus {} } },
            RoleInfo { roleName: "modelRole"; title: qsTr("Model"); width: 0.16 },
            RoleInfo { roleName: "ipRole"; title: qsTr("IP"); width: 0.18 },
            RoleInfo { roleName: "macRole"; title: qsTr("MAC"); width: 0.2 },
            RoleInfo { roleName: "zapkSignatureRole"; title: qsTr("Signature version"); width: 0.16 }
        ]
    }
}
