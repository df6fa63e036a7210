import QtQuick 2.15
import "../Common"
import "../OstraQuick"

// The "Export" tab of Trend Micro IoT Security: the devices' logs exported into a folder on the
// PC; a retry exports to the same folder, and a finished export opens its folder.
Item {
    id: root

    property var ctrl: null
    property var setupWindow: null
    property bool exportStarted: false
    property var lastFolder: ""
    readonly property bool failed: exportStarted && exportButton.displayState === "warning"
    readonly property alias exportButton: exportButton
    readonly property alias exportBox: exportBox
    readonly property alias dialogLoader: dialogLoader

    signal folderDialogRequested

    function reset() {
        exportStarted = false;
        lastFolder = "";
        exportBox.close();
    }

    function exportTo(folder) {
        if (!ctrl || String(folder) === "")
            return;
        lastFolder = folder;
        exportStarted = true;
        if (setupWindow)
            setupWindow.sending = true;
        ctrl.setZAPKExportDir(folder);
        ctrl.exportTrendMicroLog();
    }

    function chooseFolder() {
        folderDialogRequested();
        dialogLoader.active = true;
        var dialog = dialogLoader.item;
        if (!dialog)
            return;
        dialog.objectName = "dirSelectorDialog";
        dialog.title = qsTr("Export Trend Micro Log");
        dialog.selectFolder = true;
        dialog.folder = dialog.shortcuts.desktop;
        dialog.open();
    }

    Text {
        objectName: "exportLogsTitle"
        x: 20
        y: 20
        text: qsTr("Export Logs")
        color: "#ffffff"
        font.pixelSize: 16
    }

    ItemDetailButton {
        id: exportButton
        objectName: "btnExportTrendMicroLog"
        x: 20
        y: 56
        width: parent.width - 40 - (openFolder.visible ? openFolder.width + 8 : 0)
        height: 60
        status: root.exportStarted && root.ctrl ? root.ctrl.pageStatus : -1
        count: 1
        errorCount: root.ctrl && root.ctrl.errorCount !== undefined ? root.ctrl.errorCount : 0
        progressPercent: root.ctrl && root.ctrl.progress !== undefined ? root.ctrl.progress : 0
        prepareText: qsTr("Export now")
        loadingText: qsTr("Exporting")
        waitingText: qsTr("Exporting")
        warningText: qsTr("Failed to export")
        successText: qsTr("Exported successfully")
        detailOpened: exportBox.opened
        onItemBtnClicked: root.chooseFolder()
        onRefreshBtnClicked: root.exportTo(root.lastFolder)
        onDetailBtnClicked: exportBox.toggle()
    }
    ZyrButton {
        id: openFolder
        objectName: "btnOpenTrendExportFolder"
        anchors.right: parent.right
        anchors.rightMargin: 20
        anchors.verticalCenter: exportButton.verticalCenter
        width: 34
        height: 34
        visible: root.exportStarted && root.ctrl && root.ctrl.pageStatus === 4
                 && root.ctrl.trendExportPath !== undefined && root.ctrl.trendExportPath !== ""
        normalColor: "#2f3541"
        hoverColor: "#3a404d"
        radius: 2
        normalSource: "qrc:/src/qml/res/images/Export_OpenFolder.png"
        btnImgInfo.sourceSize: Qt.size(40, 40)
        btnImgInfo.width: 20
        btnImgInfo.height: 20
        tipText: qsTr("Open folder")
        onClicked: Qt.openUrlExternally(root.ctrl.trendExportPath)
    }

    ZAPKResultBox {
        id: exportBox
        anchorItem: exportButton
        hostWindow: root.setupWindow
        statusKey: "zapkTrendMicroExport"
        failureText: qsTr("Failed to export")
        showSignature: true
    }

    Loader {
        id: dialogLoader
        active: false
        source: "ZAPKFileDialog.qml"
    }
    Connections {
        target: dialogLoader.item
        ignoreUnknownSignals: true
        function onAccepted() { root.exportTo(dialogLoader.item.fileUrl); }
    }
}
