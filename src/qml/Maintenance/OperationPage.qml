import QtQuick 2.15
import "../Common"

// A page that runs one operation over the devices its controller copied from the main page: the
// operation panel (button, device table, failed devices) bound to a CPageCtrl, the question
// before leaving, and the messages of a start or entry that failed.
//
// States: "" (default), "Failed" after a run with errors (the failed table shows) and, with
// hasSuccessState, "Success" after a run without. Entering the page and retrying go back to "".
// The page may not be left while its controller waits or works, nor after a run with errors;
// the question that then opens answers the switcher through resume().
Page {
    id: page

    property var pageCtrl: null
    property var devicesModel: null
    property var devicesModelCtrl: null
    property var failedModel: null

    property string startText: ""
    property string runningText: ""
    property string failureText: ""
    property string successText: ""
    // The leave question while the run goes on, and after a run with errors.
    property string leavingText: ""
    property string abortText: ""
    property string startFailedText: qsTr("Unknown failure")
    property string enterFailedText: qsTr("Unknown failure")
    property bool hasSuccessState: false
    // Names of the items the remote control looks for.
    property string detailButtonName: ""
    property string leaveWindowName: ""
    property string messageWindowName: ""

    // The page's own content above the panel (e.g. the restore exceptions).
    default property alias content: above.data
    // Content below the panel (the export pages' open-folder button).
    property alias belowContent: below.data
    readonly property alias panel: panel
    readonly property alias leaveWindow: leaveWindow
    readonly property alias messageWindow: messageWindow

    property string pageState: ""
    readonly property int pageStatus: pageCtrl ? pageCtrl.pageStatus : -1
    readonly property int errorCount: pageCtrl ? pageCtrl.errorCount : 0
    readonly property bool failedRun: pageStatus === 4 && errorCount > 0

    // The user asked to start; the page asks its question and starts the controller.
    signal startRequested

    blocking: pageStatus === 2 || pageStatus === 3 || failedRun

    function enterPage() {
        pageState = "";
        if (pageCtrl)
            pageCtrl.enterPage();
    }

    function leavePage() {
        panel.tableBox.close();
        if (pageCtrl)
            pageCtrl.leavePage();
    }

    function resolveBlocking() {
        leaveWindow.answered = false;
        leaveWindow.warningText = failedRun ? abortText : leavingText;
        leaveWindow.leftBtnText = failedRun ? qsTr("Abort") : qsTr("Leave");
        leaveWindow.open();
    }

    function retry() {
        pageState = "";
        if (pageCtrl)
            pageCtrl.startOnFailed();
    }

    function showMessage(text) {
        messageWindow.warningText = text;
        messageWindow.open();
    }

    Connections {
        target: page.pageCtrl
        ignoreUnknownSignals: true
        function onCompleted() {
            if (page.pageCtrl.errorCount > 0)
                page.pageState = "Failed";
            else if (page.hasSuccessState)
                page.pageState = "Success";
        }
        function onStartFailed(code) {
            page.showMessage(page.startFailedText);
        }
        function onEnterPageFailed(code) {
            page.showMessage(page.enterFailedText);
        }
    }

    Column {
        id: layout
        x: Math.round((page.width - width) / 2)
        y: 50
        width: 350
        spacing: 20

        Item {
            id: above
            width: parent.width
            height: childrenRect.height
            visible: height > 0
        }

        ItemDetailArea {
            id: panel
            objectName: "operationPanel"
            width: 350
            pageCtrl: page.pageCtrl
            devicesModel: page.devicesModel
            devicesModelCtrl: page.devicesModelCtrl
            failedModel: page.failedModel
            prepareText: page.startText
            loadingText: page.runningText
            waitingText: page.runningText
            warningText: page.failureText
            successText: page.successText
            button.objectName: page.detailButtonName
            tableBox.windowName: page.detailButtonName + "Table"
            tableBox.hostWindow: page.hostWindow
            // Wider than the button: the failure texts are long, and longer still translated.
            failedTable.width: 460
            failedTable.visible: page.pageState === "Failed" && page.failedRun
                                 && page.panel.failedTable.lineCount > 0
            onItemBtnClicked: page.startRequested()
            onRefreshBtnClicked: page.retry()
        }

        Item {
            id: below
            width: parent.width
            height: childrenRect.height
            visible: height > 0
        }
    }

    WarningWindow {
        id: leaveWindow
        objectName: page.leaveWindowName
        property bool answered: false
        hostWindow: page.hostWindow
        onLeftBtnClicked: {
            answered = true;
            page.pageState = "";
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
