import QtQuick 2.15
import QtQuick.Window 2.15

// A page's device table in a drop-down window under anchorItem: the devices model with the
// columns "Status" (the status text under statusKey), "Model", "IP" and "MAC". The window is
// named by windowName ("tableBoxWindow") and the table inside is "tableBox".
Item {
    id: root

    property var model: null
    property var ctrl: null
    property string statusKey: ""
    property Item anchorItem: parent
    property var hostWindow: null
    property string windowName: "tableBoxWindow"
    property int boxWidth: 600
    property int boxHeight: 320
    readonly property bool opened: box.visible
    readonly property alias table: table
    readonly property alias boxWindow: box

    readonly property var effectiveHost: hostWindow ? hostWindow : root.Window.window
    readonly property real xScale: effectiveHost && effectiveHost.xScale ? effectiveHost.xScale : 1
    readonly property real yScale: effectiveHost && effectiveHost.yScale ? effectiveHost.yScale : 1

    signal closed

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
        objectName: root.windowName
        flags: Qt.Tool | Qt.FramelessWindowHint
        color: "#1a1d24"
        visible: false
        transientParent: root.effectiveHost ? root.effectiveHost : null
        width: Math.ceil(root.boxWidth * root.xScale)
        height: Math.ceil(root.boxHeight * root.yScale)
        onVisibleChanged: if (!visible) root.closed()

        CorvaneTable {
            id: table
            objectName: "tableBox"
            property string statusKey: root.statusKey
            width: root.boxWidth
            height: root.boxHeight
            transform: Scale { xScale: root.xScale; yScale: root.yScale }
            model: root.model
            ctrl: root.ctrl
            rowHeight: 32
            sortable: false
            tableStyle: TableStyleBlack {}
            columns: [
                RoleInfo { roleName: "statusRole"; title: qsTr("Status"); width: 0.34; dlg: Component { TableDlgForPageStatus {} } },
                RoleInfo { roleName: "modelRole"; title: qsTr("Model"); width: 0.22 },
                RoleInfo { roleName: "ipRole"; title: qsTr("IP"); width: 0.2 },
                RoleInfo { roleName: "macRole"; title: qsTr("MAC"); width: 0.24 }
            ]
        }
    }
}
