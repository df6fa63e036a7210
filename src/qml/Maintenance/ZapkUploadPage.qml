import QtQuick 2.15
import "../Common"

// What the package and licence tabs share: a choice of file(s) at the top, one operation button
// per group of the page model below it, each with its failed devices, and the devices at the
// right. A chosen selection becomes a group and starts at once; groups run one after the other
// in the controller's queue. The page may not be left while a group waits or runs, nor after a
// group failed; the question asked answers the switcher through resume().
Page {
    id: page

    property var pageCtrl: null
    property var pageModel: null
    property var devicesModel: null
    property var devicesModelCtrl: null

    property string selectText: ""
    property int selectCount: 0
    property string parsingText: ""
    property string workingText: ""
    property string successText: qsTr("Updated successfully")
    property string startFailedText: qsTr("Unknown failure")
    property string dialogName: ""
    property string dialogTitle: ""
    property var fileFilters: []
    property bool multipleFiles: false
    property string leaveWindowName: ""
    property string messageWindowName: ""
    property string groupListName: ""
    property string selectButtonName: ""
    property string deviceTableName: ""

    readonly property int pageStatus: pageCtrl ? pageCtrl.pageStatus : -1
    readonly property string statusKey: pageCtrl && pageCtrl.statusKey !== undefined ? pageCtrl.statusKey : ""
    readonly property int numFailedGroup: pageModel && pageModel.numFailedGroup !== undefined ? pageModel.numFailedGroup : 0
    readonly property int groupCount: pageModel ? (pageModel.count !== undefined ? pageModel.count : pageModel.rowCount()) : 0
    readonly property bool failedRun: numFailedGroup > 0
    // The group whose devices the table shows; -1: all of them.
    property int displayedRow: -1
    // The status key of the opened group, which the device table shows.
    property string displayedKey: statusKey
    readonly property alias leaveWindow: leaveWindow
    readonly property alias messageWindow: messageWindow
    readonly property alias dialogLoader: dialogLoader
    readonly property alias groupList: groupList
    readonly property alias selectButton: selectButton
    readonly property alias deviceTable: deviceTable

    signal fileDialogRequested
    // The page's own steps on entry and on the device-list buttons (the licence tab has more).
    signal entered
    signal devicesShown(int row)

    blocking: pageStatus === 2 || pageStatus === 3 || failedRun

    function enterPage() {
        displayedRow = -1;
        displayedKey = statusKey;
        if (pageCtrl)
            pageCtrl.enterPage();
        entered();
    }

    function leavePage() {
        if (dialogLoader.item)
            dialogLoader.item.close();
        if (pageCtrl)
            pageCtrl.leavePage();
    }

    function resolveBlocking() {
        var working = pageStatus === 2 || pageStatus === 3;
        leaveWindow.answered = false;
        leaveWindow.warningText = working ? qsTr("Updating devices.\nAre you sure you want to leave?")
                                          : qsTr("Some devices failed to update.\nAre you sure you want to abort?");
        leaveWindow.leftBtnText = working ? qsTr("Leave") : qsTr("Abort");
        leaveWindow.open();
    }

    function showMessage(text) {
        messageWindow.warningText = text;
        messageWindow.open();
    }

    function openFileDialog() {
        fileDialogRequested();
        dialogLoader.active = true;
        var dialog = dialogLoader.item;
        if (!dialog)
            return;
        dialog.objectName = page.dialogName;
        dialog.title = page.dialogTitle;
        dialog.nameFilters = page.fileFilters;
        dialog.selectMultiple = page.multipleFiles;
        dialog.open();
    }

    // The user's choice: one file for a package, any number of licence files. An empty choice
    // starts nothing.
    function filesChosen(urls) {
        if (!pageCtrl || !urls || urls.length === 0)
            return;
        if (multipleFiles) {
            var list = [];
            for (var i = 0; i < urls.length; ++i)
                list.push(String(urls[i]));
            pageCtrl.start(pageCtrl.addFilePaths(list));
        } else {
            pageCtrl.start(pageCtrl.addFilePath(urls[0]));
        }
    }

    function showDevices(row) {
        displayedRow = row;
        updateDisplayedKey();
        devicesShown(row);
    }

    // The table shows the statuses of the group looked at; with every device shown, those of
    // the newest group (every group holds all the page's devices).
    function updateDisplayedKey() {
        var key = statusKey;
        var row = displayedRow >= 0 ? displayedRow : 0;
        if (row < groupCount) {
            var entry = groupList.itemAtIndex(row);
            if (entry && entry.statusKey !== "")
                key = entry.statusKey;
        }
        displayedKey = key;
    }
    // A group's delegate tells its key when it is made or the key changes: the list makes its
    // delegates after the rows arrive.
    function groupKeyKnown(row, key) {
        if (row === (displayedRow >= 0 ? displayedRow : 0) && key !== "")
            displayedKey = key;
    }

    onGroupCountChanged: if (groupCount === 0) displayedKey = statusKey

    Connections {
        target: page.pageCtrl
        ignoreUnknownSignals: true
        function onStartFailed(code) { page.showMessage(page.startFailedText); }
        function onEnterPageFailed(code) { page.showMessage(qsTr("Unknown failure")); }
    }

    Item {
        id: left
        x: 40
        y: 30
        width: 350
        height: page.height - y - 30

        ItemDetailButton {
            id: selectButton
            objectName: page.selectButtonName
            width: parent.width
            height: 60
            status: -1
            count: page.selectCount
            prepareText: page.selectText
            detailOpened: page.displayedRow === -1
            onItemBtnClicked: page.openFileDialog()
            onDetailBtnClicked: page.showDevices(-1)
        }

        ListView {
            id: groupList
            objectName: page.groupListName
            y: selectButton.height + 20
            width: parent.width
            height: parent.height - y
            clip: true
            spacing: 16
            boundsBehavior: Flickable.StopAtBounds
            model: page.pageModel

            delegate: ZapkGroupItem {
                objectName: "zapkGroup_" + index
                buttonName: "fileDetailBtn" + index
                width: groupList.width
                row: index
                status: model.statusRole !== undefined ? model.statusRole : -1
                count: model.countRole !== undefined ? model.countRole : 0
                errorCount: model.errorCountRole !== undefined ? model.errorCountRole : 0
                progress: model.progressRole !== undefined ? model.progressRole : 0
                statusKey: model.statusIndexRole !== undefined ? model.statusIndexRole : page.statusKey
                fileName: model.fileDescriptionRole !== undefined ? model.fileDescriptionRole : ""
                failedModel: model.failedDevicesModelRole !== undefined ? model.failedDevicesModelRole : null
                parsingText: page.parsingText
                workingText: page.workingText
                successText: page.successText
                detailOpened: page.displayedRow === index
                onShowDevices: page.showDevices(row)
                onStatusKeyChanged: page.groupKeyKnown(row, statusKey)
                onRowChanged: page.groupKeyKnown(row, statusKey)
                Component.onCompleted: page.groupKeyKnown(row, statusKey)
                onCancel: if (page.pageCtrl) page.pageCtrl.cancelWaiting(row)
                onRetry: if (page.pageCtrl) page.pageCtrl.startOnFailed(row)
            }

            // A group that finished well slides out to the left; the rest close up after it.
            remove: Transition {
                ParallelAnimation {
                    NumberAnimation { property: "x"; to: -200; duration: 700 }
                    NumberAnimation { property: "opacity"; to: 0; duration: 700 }
                }
            }
            removeDisplaced: Transition {
                SequentialAnimation {
                    PauseAnimation { duration: 300 }
                    NumberAnimation { properties: "y"; duration: 300 }
                }
            }
        }
    }

    ZapkDeviceTable {
        id: deviceTable
        objectName: page.deviceTableName
        x: left.x + left.width + 24
        y: left.y
        width: page.width - x - 30
        height: left.height
        model: page.devicesModel
        ctrl: page.devicesModelCtrl
        statusKey: page.displayedKey
    }

    Loader {
        id: dialogLoader
        active: false
        source: "ZapkFileDialog.qml"
    }
    Connections {
        target: dialogLoader.item
        ignoreUnknownSignals: true
        function onAccepted() {
            var d = dialogLoader.item;
            page.filesChosen(page.multipleFiles ? d.fileUrls : [d.fileUrl]);
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
