import QtQuick 2.15
import "../Common"

// Picks the template camera: a search box that filters the table and a single-selection table
// of model and address. Every time it shows, row 0 is selected; a double click or Enter chooses.
Rectangle {
    id: root

    property var devicesModel: typeof batchSetupTemplateDevicesModel !== "undefined" ? batchSetupTemplateDevicesModel : null
    property var devicesModelCtrl: typeof batchSetupTemplateDevicesModelCtrl !== "undefined" ? batchSetupTemplateDevicesModelCtrl : null
    readonly property alias table: table
    readonly property alias searchBox: search

    signal cameraChosen

    objectName: "InstructionPageCameraSelectWindow"
    visible: false
    width: 420
    height: 320
    radius: 2
    color: _GProperty_.dialogColor
    border.color: _GProperty_.lineColor

    function selectFirst() {
        if (!devicesModelCtrl)
            return;
        devicesModelCtrl.setSelectionToAll(false);
        table.select(0);
    }
    function choose() {
        root.visible = false;
        root.cameraChosen();
    }

    onVisibleChanged: {
        if (visible) {
            selectFirst();
            table.forceActiveFocus();
        }
    }

    CorvaneInputBox {
        id: search
        objectName: "CameraSelectWindowSearchBox"
        x: 12
        y: 12
        width: parent.width - 24
        height: 32
        hintText: qsTr("Search")
        maximumLength: 256
        onTextChanged: if (root.devicesModelCtrl) root.devicesModelCtrl.setFilter(text)
    }

    CorvaneTable {
        id: table
        objectName: "CameraSelectWindowSelectTable"
        x: 12
        anchors.top: search.bottom
        anchors.topMargin: 8
        width: parent.width - 24
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 12
        model: root.devicesModel
        ctrl: root.devicesModelCtrl
        sortable: false
        columns: [
            RoleInfo { roleName: "selectedRole"; width: 40; dlg: Component { TableDlg { label.text: value ? "\u25C9" : "\u25CB"; label.font.pixelSize: 16 } } },
            RoleInfo { roleName: "modelRole"; title: qsTr("Model"); width: 0.5 },
            RoleInfo { roleName: "ipRole"; title: qsTr("IP"); width: 0.4 }
        ]
        onRowDoubleClicked: root.choose()
        onSubmit: root.choose()
    }
}
