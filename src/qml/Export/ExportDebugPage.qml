import QtQuick 2.15
import "../Common"
import "../Maintenance"

// Collects the selected devices' configuration backups, reports and application files into a
// dated folder under a folder the user chooses.
OperationPage {
    id: page

    objectName: "exportDebugPage"
    pageName: "DebugReport"

    pageCtrl: typeof exportDebugPageCtrl !== "undefined" ? exportDebugPageCtrl : null
    devicesModel: typeof exportDebugDevicesModel !== "undefined" ? exportDebugDevicesModel : null
    devicesModelCtrl: typeof exportDebugDevicesModelCtrl !== "undefined" ? exportDebugDevicesModelCtrl : null
    failedModel: typeof exportDebugFailedModel !== "undefined" ? exportDebugFailedModel : null

    property var systemController: typeof systemCtrl !== "undefined" ? systemCtrl : null
    readonly property alias dialogLoader: dialogLoader

    hasSuccessState: true
    startText: qsTr("Export now")
    runningText: qsTr("Exporting")
    failureText: qsTr("Failed to export")
    successText: qsTr("Exported successfully")
    leavingText: qsTr("Exporting device settings.\nAre you sure you want to leave?")
    abortText: qsTr("Failed to export some device settings.\nAre you sure you want to abort?")
    detailButtonName: "fileDetailBtn"
    leaveWindowName: "leaveExportDebugWindow"
    messageWindowName: "exportDebugMessageWindow"

    function exportTo(url) {
        if (!pageCtrl)
            return;
        pageCtrl.setExportRootDirToUrl(url);
        pageCtrl.start();
    }

    onStartRequested: {
        dialogLoader.active = true;
        var dialog = dialogLoader.item;
        if (!dialog)
            return;
        if (systemController)
            dialog.folder = systemController.desktopFileUrl();
        dialog.open();
    }

    Connections {
        target: page.pageCtrl
        ignoreUnknownSignals: true
        function onWriteFileFailed() {
            page.showMessage(qsTr("Failed to export"));
        }
    }

    belowContent: OpenFolderButton {
        objectName: "openFolderButton"
        visible: page.pageState === "Success"
        onClicked: {
            if (page.pageCtrl)
                Qt.openUrlExternally(page.pageCtrl.getLastExportDirUrl());
        }
    }

    Loader {
        id: dialogLoader
        active: false
        source: "ExportDebugFolderDialog.qml"
    }
    Connections {
        target: dialogLoader.item
        ignoreUnknownSignals: true
        function onAccepted() {
            page.exportTo(dialogLoader.item.fileUrl);
        }
    }
}
