import QtQuick 2.15
import "../Common"
import "../Export"

// Applies the template to the page's cameras: the run item with progress and the failed
// cameras, a retry of the failed ones, the template export after a run without errors and the
// restart countdown when the settings make the cameras restart.
Page {
    id: page

    objectName: "UploadingPage"
    pageName: "Uploading"

    property var pageCtrl: typeof batchSetupPageCtrl !== "undefined" ? batchSetupPageCtrl : null
    property var devicesModel: typeof batchSetupDevicesModel !== "undefined" ? batchSetupDevicesModel : null
    property var devicesModelCtrl: typeof batchSetupDevicesModelCtrl !== "undefined" ? batchSetupDevicesModelCtrl : null
    property var failedModel: typeof batchSetupFailedModel !== "undefined" ? batchSetupFailedModel : null
    property var systemController: typeof systemCtrl !== "undefined" ? systemCtrl : null

    // "", "Success" or "Failed" once the run completed.
    property string pageState: ""
    property bool exported: false
    property int restartCountdown: 0
    readonly property int pageStatus: pageCtrl ? pageCtrl.pageStatus : -1
    readonly property int errorCount: pageCtrl ? pageCtrl.errorCount : 0
    readonly property bool failedRun: pageStatus === 4 && errorCount > 0
    readonly property alias panel: panel
    readonly property alias leaveWindow: leaveWindow
    readonly property alias countdownTimer: countdown

    blocking: pageStatus === 2 || pageStatus === 3 || failedRun

    function clearState() {
        pageState = "";
        exported = false;
    }
    function enterPage() {
        clearState();
        restartCountdown = 0;
        if (pageCtrl)
            pageCtrl.start();
    }
    function leavePage() {
        countdown.stop();
        restartCountdown = 0;
        panel.tableBox.close();
    }
    function resolveBlocking() {
        leaveWindow.answered = false;
        leaveWindow.warningText = failedRun
            ? qsTr("Some problems occurred while applying device settings.\nAre you sure you want to discard device settings?")
            : qsTr("Applying settings to devices. Are you sure you want to leave?");
        leaveWindow.leftBtnText = failedRun ? qsTr("Discard") : qsTr("Leave");
        leaveWindow.open();
    }
    function retry() {
        clearState();
        if (pageCtrl)
            pageCtrl.startOnFailed();
    }
    function exportTo(url) {
        if (pageCtrl && pageCtrl.exportCurrentOptionsToUrl(url)) {
            pageCtrl.resetOptionListDirtyBit();
            exported = true;
        } else {
            messageWindow.warningText = qsTr("Unknown failure");
            messageWindow.open();
        }
    }
    function openExportDialog() {
        exportLoader.active = true;
        var dialog = exportLoader.item;
        if (!dialog)
            return;
        if (systemController && systemController.desktopFileUrl)
            dialog.folder = systemController.desktopFileUrl();
        dialog.open();
    }

    Connections {
        target: page.pageCtrl
        ignoreUnknownSignals: true
        function onCompleted() {
            page.pageState = page.pageCtrl.errorCount <= 0 ? "Success" : "Failed";
        }
        function onStartFailed(code) {
            messageWindow.warningText = qsTr("Unknown failure");
            messageWindow.open();
        }
        function onDevicesRestartingAfterApplied(bRestarting) {
            if (!bRestarting)
                return;
            page.restartCountdown = 60;
            countdown.restart();
        }
    }

    Timer {
        id: countdown
        interval: 1000
        repeat: true
        onTriggered: {
            page.restartCountdown = Math.max(0, page.restartCountdown - 1);
            if (page.restartCountdown === 0)
                stop();
        }
    }

    Column {
        x: Math.round((page.width - width) / 2)
        y: 60
        width: 460
        spacing: 20

        ItemDetailArea {
            id: panel
            objectName: "uploadingPanel"
            width: 350
            anchors.horizontalCenter: parent.horizontalCenter
            pageCtrl: page.pageCtrl
            devicesModel: page.devicesModel
            devicesModelCtrl: page.devicesModelCtrl
            failedModel: page.failedModel
            prepareText: qsTr("Applying settings to cameras")
            parsingText: qsTr("Applying settings to cameras")
            loadingText: qsTr("Applying settings to cameras")
            waitingText: qsTr("Applying settings to cameras")
            warningText: qsTr("Failed to apply")
            successText: page.restartCountdown > 0 ? qsTr("Restarting device(s): %1 s").arg(page.restartCountdown)
                                                   : qsTr("Applied successfully")
            button.objectName: "UploadingPageItemDetailButton"
            tableBox.windowName: "UploadingPageDeviceTable"
            tableBox.hostWindow: page.hostWindow
            failedTable.objectName: "UploadingPageFailedTable"
            failedTable.width: 460
            failedTable.visible: page.pageState === "Failed" && page.panel.failedTable.lineCount > 0
            failedTable.expanded: page.panel.failedTable.lineCount > 5
            onRefreshBtnClicked: page.retry()
        }

        Row {
            objectName: "UploadingPageExportRow"
            anchors.horizontalCenter: parent.horizontalCenter
            visible: page.pageState === "Success"
            spacing: 12
            ExportButton {
                objectName: "UploadingPageExportButton"
                width: 44
                height: 44
                tipText: page.exported ? qsTr("Exported") : qsTr("Export")
                onApply: page.openExportDialog()
            }
            OpenFolderButton {
                objectName: "UploadingPageOpenFolderButton"
                visible: page.exported
                onClicked: {
                    if (page.pageCtrl)
                        Qt.openUrlExternally(page.pageCtrl.lastExportOptionPath());
                }
            }
        }
    }

    WarningWindow {
        id: leaveWindow
        objectName: "UploadingPageLeaveWindow"
        property bool answered: false
        hostWindow: page.hostWindow
        onLeftBtnClicked: {
            answered = true;
            if (page.pageCtrl)
                page.pageCtrl.abortSetDevices();
            page.clearState();
            page.resume(true);
        }
        onClosed: {
            if (!answered)
                page.resume(false);
            answered = true;
        }
    }

    WarningWindow {
        id: messageWindow
        objectName: "UploadingPageMessageWindow"
        hostWindow: page.hostWindow
        showLeftButton: false
    }

    Loader {
        id: exportLoader
        active: false
        source: "ExportFileDialog.qml"
    }
    Connections {
        target: exportLoader.item
        ignoreUnknownSignals: true
        function onAccepted() { page.exportTo(exportLoader.item.fileUrl); }
    }
}
