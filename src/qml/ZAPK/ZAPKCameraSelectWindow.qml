import QtQuick 2.15
import "../Common"
import "../OstraQuick"

// The device a template is exported from: the devices that run the module, filtered by the
// search box, one row chosen at a time. "Export" hands the chosen row on; closing asks first.
CorvaneWindow {
    id: root

    property var model: typeof zapkStereoExportModel !== "undefined" ? zapkStereoExportModel : null
    property var ctrl: typeof zapkStereoExportCtrl !== "undefined" ? zapkStereoExportCtrl : null
    readonly property int chosenRow: table.currentRow
    readonly property alias table: table
    readonly property alias searchBox: searchBox
    readonly property alias abortQuestion: abortQuestion

    // The chosen row's index of the module on its device and its address.
    signal exportChosen(int zapkIndex, string ip)

    objectName: "stereoCameraSelectWindow"
    title: qsTr("Export")
    bodyWidth: 620
    bodyHeight: 420
    customClose: true

    function chosenEntry() {
        if (chosenRow < 0)
            return null;
        var item = table.listView.itemAtIndex(chosenRow);
        return item ? item.rowEntry : null;
    }

    function exportClicked() {
        var entry = chosenEntry();
        if (!entry)
            return;
        close();
        exportChosen(entry.zapkIdxRole !== undefined ? entry.zapkIdxRole : -1, entry.ipRole !== undefined ? entry.ipRole : "");
    }

    function reset() {
        searchBox.text = "";
        table.currentRow = -1;
    }

    onCustomClosing: abortQuestion.open()

    Item {
        anchors.fill: parent

        ZyrInputBox {
            id: searchBox
            objectName: "CameraSelectWindowSearchBox"
            x: parent.width - width - 20
            y: 12
            width: 240
            height: 32
            maximumLength: 256
            hintText: qsTr("Filter")
            iconSource: "qrc:/src/qml/res/images/MainPage_filter.png"
            onTextChanged: if (root.ctrl) root.ctrl.setFilter(text)
        }

        CorvaneTable {
            id: table
            objectName: "CameraSelectWindowSelectTable"
            x: 20
            y: searchBox.y + searchBox.height + 12
            width: parent.width - 40
            height: parent.height - y - 64
            model: root.model
            ctrl: root.ctrl
            rowHeight: 36
            tableStyle: TableStyleBlack {}
            rowDelegate: Component { ZAPKListTableRowDelegate {} }
            columns: [
                RoleInfo { roleName: "modelRole"; title: qsTr("Model"); width: 0.3 },
                RoleInfo { roleName: "ipRole"; title: qsTr("IP"); width: 0.34 },
                RoleInfo { roleName: "macRole"; title: qsTr("MAC"); width: 0.36 }
            ]
        }

        Row {
            anchors.right: parent.right
            anchors.rightMargin: 20
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 14
            spacing: 12
            CorvaneButton {
                objectName: "btnCancelExportConfig"
                width: 110
                height: 34
                btnText: qsTr("Cancel")
                onApply: abortQuestion.open()
            }
            CorvaneButton {
                objectName: "btnExportConfig"
                width: 110
                height: 34
                btnText: qsTr("Export")
                actived: true
                enabled: root.chosenRow >= 0
                onApply: root.exportClicked()
            }
        }
    }

    WarningWindow {
        id: abortQuestion
        objectName: "abortExportWindow"
        hostWindow: root.hostWindow
        warningText: qsTr("Are you sure you want to abort?")
        leftBtnText: qsTr("Abort")
        onLeftBtnClicked: {
            close();
            root.close();
        }
    }
}
