import QtQuick 2.15
import "../Common"

// What the camera and recorder firmware pages share: the controller and models they bind to,
// the file choice for one group or for all, the messages of failures and the leave guard.
//
// The page may not be left while groups wait or are upgraded, nor once a run ended with failed
// groups; the question then asked answers the switcher through resume(). The file dialog is
// made the first time a file is chosen.
Page {
    id: page

    property var pageCtrl: typeof firmwarePageCtrl !== "undefined" ? firmwarePageCtrl : null
    property var pageModel: typeof firmwarePageModel !== "undefined" ? firmwarePageModel : null
    property var devicesModel: typeof firmwareDevicesModel !== "undefined" ? firmwareDevicesModel : null
    property var devicesModelCtrl: typeof firmwareDevicesModelCtrl !== "undefined" ? firmwareDevicesModelCtrl : null

    // Whether a group that finishes without failures leaves the list.
    property bool removeFinishedGroups: true
    property var fileFilters: [qsTr("Firmware files (*.pkg)")]
    property string leaveWindowName: "leaveFirmwareWindow"
    property string messageWindowName: "firmwareMessageWindow"

    readonly property int pageStatus: pageCtrl ? pageCtrl.pageStatus : -1
    readonly property string statusKey: pageCtrl ? pageCtrl.statusKey : "firmware"
    readonly property int numFailedGroup: pageModel && pageModel.numFailedGroup !== undefined ? pageModel.numFailedGroup : 0
    readonly property int groupCount: pageModel ? (pageModel.count !== undefined ? pageModel.count : pageModel.rowCount()) : 0
    readonly property bool failedRun: pageStatus === 4 && numFailedGroup !== 0
    // The group whose devices the device table shows; -1: all of them.
    property int displayedRow: -1
    // The group the file dialog was last opened for (-1: every group).
    property int dialogRow: -1
    readonly property alias leaveWindow: leaveWindow
    readonly property alias messageWindow: messageWindow
    readonly property alias dialogLoader: dialogLoader

    signal fileDialogRequested(int row)

    blocking: pageStatus === 2 || pageStatus === 3 || failedRun

    function enterPage() {
        displayedRow = -1;
        if (pageCtrl) {
            pageCtrl.enterPage();
            pageCtrl.setNeedRemoveAfter(removeFinishedGroups);
            // The groups are cut with the view on no group at all; the table starts on every
            // device, as the all-groups choice is marked.
            pageCtrl.setDisplayAllDevices();
        }
    }

    function leavePage() {
        if (dialogLoader.item)
            dialogLoader.item.close();
        if (pageCtrl)
            pageCtrl.leavePage();
    }

    function resolveBlocking() {
        leaveWindow.answered = false;
        leaveWindow.warningText = failedRun ? qsTr("Failed to update some devices.\nAre you sure you want to abort?")
                                            : qsTr("Updating devices.\nAre you sure you want to leave?");
        leaveWindow.leftBtnText = failedRun ? qsTr("Abort") : qsTr("Leave");
        leaveWindow.open();
    }

    function showMessage(text) {
        messageWindow.warningText = text;
        messageWindow.open();
    }

    // Opens the file dialog for one group (row) or for every group (-1).
    function openFileDialog(row) {
        dialogRow = row;
        fileDialogRequested(row);
        dialogLoader.active = true;
        var dialog = dialogLoader.item;
        if (!dialog)
            return;
        dialog.targetRow = row;
        dialog.nameFilters = page.fileFilters;
        dialog.open();
    }

    // The file the user chose, for one group or (row -1) for every group in order. A group that
    // cannot take it answers through openFileFailed.
    function fileChosen(row, url) {
        if (!pageCtrl)
            return;
        if (row < 0) {
            for (var i = 0; i < groupCount; ++i)
                pageCtrl.setFirmwarePath(i, url);
        } else {
            pageCtrl.setFirmwarePath(row, url);
        }
    }

    function showDevices(row) {
        displayedRow = row;
        if (!pageCtrl)
            return;
        if (row < 0)
            pageCtrl.setDisplayAllDevices();
        else
            pageCtrl.setDisplayDevices(row);
    }

    function startGroup(row) {
        if (!pageCtrl)
            return;
        pageCtrl.setScript(false);
        pageCtrl.start(row);
    }

    function startAllGroups() {
        if (!pageCtrl)
            return;
        pageCtrl.setScript(false);
        pageCtrl.startAll();
    }

    function retryGroup(row) {
        if (pageCtrl)
            pageCtrl.startOnFailed(row);
    }

    function cancelGroup(row) {
        if (pageCtrl)
            pageCtrl.cancelWaiting(row);
    }

    Connections {
        target: page.pageCtrl
        ignoreUnknownSignals: true
        function onStartFailed(code) {
            page.showMessage(qsTr("Unknown failure"));
        }
        function onEnterPageFailed(code) {
            page.showMessage(qsTr("Unknown failure"));
        }
        function onOpenFileFailed(eErr) {
            // FileInvalid of CFirmwarePageCtrl::E_Open_File_Error.
            page.showMessage(eErr === 4 ? qsTr("File invalid") : qsTr("Unknown failure") + ": " + eErr);
        }
        function onCompleted() {
            // The devices restarted with new firmware: the main page looks for them again.
            var main = page.hostWindow && page.hostWindow.mainPage ? page.hostWindow.mainPage : null;
            if (main && main.searchWhenEnteringPage !== undefined)
                main.searchWhenEnteringPage = true;
        }
    }

    Loader {
        id: dialogLoader
        active: false
        source: "FirmwareFileDialog.qml"
    }
    Connections {
        target: dialogLoader.item
        ignoreUnknownSignals: true
        function onAccepted() {
            page.fileChosen(dialogLoader.item.targetRow, dialogLoader.item.fileUrl);
        }
    }

    WarningWindow {
        id: leaveWindow
        objectName: page.leaveWindowName
        property bool answered: false
        hostWindow: page.hostWindow
        onLeftBtnClicked: {
            answered = true;
            if (page.pageCtrl)
                page.pageCtrl.leavePage();
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
        objectName: page.messageWindowName
        hostWindow: page.hostWindow
        showLeftButton: false
    }
}
