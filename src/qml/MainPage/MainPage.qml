import QtQuick 2.15
import "../Common"
import "../OstraQuick"

// The main page: discovery (plain or by address range), the device table with its filter and
// device-set tabs, authorization, adding and importing devices. The page may not be left while
// selected devices are still unauthorized; the authorize window then asks for credentials and
// lets the navigation go on once they are all authorized.
TopLevelPage {
    id: mainPage

    objectName: "mainPage"
    pageName: "MainPage"
    topMargin: 147
    // The gradient runs behind the whole page, not only behind the top area.
    statusBarHeight: height

    // The controllers, through properties so that a test can hand in its own.
    property var ctrl: typeof mainPageCtrl !== "undefined" ? mainPageCtrl : null
    property var listModel: typeof deviceListModel !== "undefined" ? deviceListModel : null
    property var listCtrl: typeof mainPageDeviceListCtrl !== "undefined" ? mainPageDeviceListCtrl : null
    property var unauthorizedModel: typeof unauthorizedFilterModel !== "undefined" ? unauthorizedFilterModel : null
    property var needPasswordModel: typeof needPasswordFilterModel !== "undefined" ? needPasswordFilterModel : null
    property var policyCheck: typeof passwordPolicyCheck !== "undefined" ? passwordPolicyCheck : null

    // From a search request to the first devicesFound.
    property bool searching: false
    // Set by other pages (after a firmware upgrade or a batch setup restarted devices): search
    // again the next time the page is shown.
    property bool searchWhenEnteringPage: false
    property string strSearchIPStart: ""
    property string strSearchIPEnd: ""
    property int requiredTime: 0
    // A range search runs (from its request to searchStopped).
    property bool isRangedSearch: false
    // The user stopped a range search that has not ended yet.
    property bool isStopping: false
    // "all", "camera" or "nvr": which devices the table shows.
    property string deviceSet: "all"
    // The discovery has not reported its end yet (the refresh icon turns).
    property bool discoveryRunning: false
    property bool lastSearchRanged: false
    readonly property bool rangeSet: strSearchIPStart !== "" && strSearchIPEnd !== ""
    // The authorize window should let the navigation go on once the unauthorized view empties,
    // although it was closed for the first-password window.
    property bool completeWhenAuthorized: false
    readonly property int numSelected: listModel ? listModel.numSelected : 0
    readonly property int deviceCount: listModel ? listModel.count : 0
    // An added device is being asked for its identity; the add box waits.
    property bool adding: false
    readonly property int unauthorizedCount: unauthorizedModel ? unauthorizedModel.count : 0

    signal resetNaviView()

    function search() {
        if (!ctrl)
            return;
        ctrl.setNVOnly(false);
        searching = true;
        isRangedSearch = false;
        lastSearchRanged = false;
        discoveryRunning = true;
        deviceTable.resetSortStatus();
        if (!ctrl.startSearchDevices())
            searchRefused();
    }

    function searchIPRange() {
        if (!ctrl)
            return;
        ctrl.setNVOnly(false);
        searching = true;
        isRangedSearch = true;
        lastSearchRanged = true;
        discoveryRunning = true;
        rangeStopButton.visible = true;
        deviceTable.resetSortStatus();
        if (!ctrl.startSearchIPRangeDevices(strSearchIPStart, strSearchIPEnd, requiredTime))
            searchRefused();
    }

    // A discovery that could not start reports nothing; the page must not wait for it.
    function searchRefused() {
        searching = false;
        isRangedSearch = false;
        discoveryRunning = false;
    }

    // The refresh icon: the same kind of search as the last one.
    function refresh() {
        if (lastSearchRanged && rangeSet)
            searchIPRange();
        else
            search();
    }

    function clearRange() {
        strSearchIPStart = "";
        strSearchIPEnd = "";
        requiredTime = 0;
    }

    function stopRangeSearch() {
        rangeStopButton.visible = false;
        isStopping = true;
        if (ctrl)
            ctrl.userStops();
    }

    function openImportDialog() {
        if (importDialogLoader.item)
            importDialogLoader.item.open();
        else
            importDialogLoader.active = true;
    }

    function importFile(url) {
        if (!ctrl)
            return;
        importingBlock.visible = true;
        if (!ctrl.importDevicesFromUrl(url))
            importingBlock.visible = false;
    }

    function chooseDeviceSet(name) {
        deviceSet = name;
        resetNaviView();
        if (listCtrl) {
            listCtrl.setSelectionToAll(false);
            listCtrl.acceptModelSet(name);
        }
        if (ctrl)
            ctrl.setNVRSelectable(name === "nvr");
    }

    function enterPage() {
        deviceTable.forceActiveFocus();
        if (searchWhenEnteringPage) {
            clearRange();
            search();
        }
        searchWhenEnteringPage = false;
    }

    function leavePage() {
        if (ctrl)
            ctrl.leavePage();
        authorizeBusy.visible = false;
        rangeBox.close();
        authorizeButton.close();
        addDeviceButton.close();
    }

    function isBlocking(close) {
        return !close && unauthorizedCount > 0;
    }

    function resolveBlocking() {
        authorizeWindow.open();
    }

    // The unauthorized view emptied: an authorize window waiting for that lets the navigation go on.
    function checkAuthorizeComplete() {
        if (unauthorizedCount > 0 || numSelected === 0)
            return;
        if (authorizeWindow.visible || completeWhenAuthorized) {
            completeWhenAuthorized = false;
            authorizeWindow.completed = true;
            authorizeWindow.close();
            resume(true);
        }
    }
    onUnauthorizedCountChanged: checkAuthorizeComplete()

    Connections {
        target: mainPage.ctrl
        ignoreUnknownSignals: true
        function onDevicesFound() {
            mainPage.searching = false;
            mainPage.isStopping = false;
        }
        function onSearchStopped() {
            mainPage.discoveryRunning = false;
            mainPage.isRangedSearch = false;
            mainPage.isStopping = false;
            mainPage.searching = false;
        }
        function onAuthorizing() {
            authorizeBusy.visible = true;
        }
        function onAuthorizeStopped() {
            authorizeBusy.visible = false;
        }
        function onAddDeviceSucceeded() {
            mainPage.adding = false;
            addDeviceButton.status = "";
            addDeviceButton.statusText = "";
            addDeviceButton.close();
        }
        function onAddDeviceFailed(eErr) {
            mainPage.adding = false;
            addDeviceButton.status = "WARNING";
            addDeviceButton.statusText = eErr === 1 ? qsTr("The device already exists.")
                                       : eErr === 2 ? qsTr("Session expired. Try again later")
                                       : qsTr("Failed");
        }
        function onAddDeviceFinished() {
            // A device that was already listed succeeds without a finish; either ends the wait.
            mainPage.adding = false;
        }
        function onImportDevicesFinished() {
            importingBlock.visible = false;
        }
        function onImportFileError() {
            importingBlock.visible = false;
            importNotice.showMessage(qsTr("Failed to import"));
        }
        function onSomeImportFailed() {
            var failed = mainPage.ctrl.getFailedImport();
            importNotice.showMessage(qsTr("Failed to import") + "\n" + failed.join("\n"));
        }
        function onNeedToSetPassword() {
            if (!mainPage.needPasswordModel || mainPage.needPasswordModel.count <= 0)
                return;
            if (authorizeWindow.visible) {
                mainPage.completeWhenAuthorized = true;
                authorizeWindow.handOver = true;
                authorizeWindow.close();
            }
            passwordSettingWindow.open();
        }
    }

    MainPageStatusBar {
        id: statusBar
        objectName: "mainPageStatusBar"
        x: 30
        y: 26
        width: 520
        hostWindow: mainPage.hostWindow
        count: mainPage.listModel ? mainPage.listModel.count : 0
        numSelected: mainPage.numSelected
        searching: mainPage.searching
        stopping: mainPage.isStopping
        turning: mainPage.discoveryRunning
        onRefresh: mainPage.refresh()
    }

    ZyrInputBox {
        id: filterBox
        objectName: "filterBox"
        x: mainPage.width - width - 30
        y: 34
        width: 260
        height: 32
        maximumLength: 256
        hintText: qsTr("Filter")
        iconSource: "qrc:/src/qml/res/images/MainPage_filter.png"
        enabled: !mainPage.searching
        onTextChanged: {
            if (mainPage.listCtrl)
                mainPage.listCtrl.setFilter(text);
        }
    }

    // The row of actions above the table.
    Row {
        id: actionRow
        x: 30
        y: 96
        height: 36
        spacing: 12
        enabled: !mainPage.searching

        Item {
            width: authorizeButton.width + authorizeBusy.width + 6
            height: parent.height
            ZyrBtnExtendBox {
                id: authorizeButton
                objectName: "authorizeButton"
                width: 150
                height: parent.height
                hostWindow: mainPage.hostWindow
                windowName: "authorizeBox"
                btnText: mainPage.numSelected === 0 || mainPage.numSelected === mainPage.deviceCount
                         ? qsTr("Authorize all") : qsTr("Authorize")
                normalSource: "qrc:/src/qml/res/images/MainPage_authorize_normal.png"
                hoveredSource: "qrc:/src/qml/res/images/MainPage_authorize_hovered.png"
                pressedSource: "qrc:/src/qml/res/images/MainPage_authorize_normal.png"
                caption1: qsTr("User name")
                caption2: qsTr("Password")
                inputBox1.objectName: "authorizeUserInput"
                inputBox1.validator.style: 2
                inputBox1.maximumLength: 64
                inputBox2.objectName: "authorizePasswordInput"
                inputBox2.inputStyle: 1
                inputBox2.passwordMask: true
                inputBox2.maximumLength: 64
                btnApply.objectName: "authorizeApplyButton"
                onCommit: {
                    var user = inputBox1.text;
                    var password = inputBox2.text;
                    close();
                    if (mainPage.ctrl)
                        mainPage.ctrl.authorize(user, password);
                }
            }
            LoadingBusy {
                id: authorizeBusy
                objectName: "authorizeBusy"
                anchors.left: authorizeButton.right
                anchors.leftMargin: 6
                anchors.verticalCenter: parent.verticalCenter
                width: 20
                height: 20
                visible: false
            }
        }

        ZyrBtnExtendBox {
            id: addDeviceButton
            objectName: "addDeviceButton"
            width: 150
            height: parent.height
            hostWindow: mainPage.hostWindow
            windowName: "addDeviceBox"
            btnText: qsTr("Add devices")
            normalSource: "qrc:/src/qml/res/images/MainPage_add_normal.png"
            hoveredSource: "qrc:/src/qml/res/images/MainPage_add_hovered.png"
            pressedSource: "qrc:/src/qml/res/images/MainPage_add_normal.png"
            caption1: qsTr("IP/Domain name")
            caption2: qsTr("Port")
            inputBox1.objectName: "addDeviceIpInput"
            inputBox1.validator.style: 3
            inputBox2.objectName: "addDevicePortInput"
            inputBox2.validator.style: 1
            inputBox2.validator.bottomBound: 0
            inputBox2.validator.topBound: 65535
            inputBox2.text: "80"
            btnApply.objectName: "addDeviceApplyButton"
            onCommit: {
                if (!mainPage.ctrl)
                    return;
                if (mainPage.ctrl.addDevice(inputBox1.text, inputBox2.text)) {
                    status = "LOADING";
                    statusText = "";
                    mainPage.adding = true;
                }
            }
            Component.onCompleted: boxWindow.contentItem.enabled = Qt.binding(function() { return !mainPage.adding; })

            // Editing either field makes the last outcome stale.
            Connections {
                target: addDeviceButton.inputBox1
                function onTextChanged() { addDeviceButton.clearStatus(); }
            }
            Connections {
                target: addDeviceButton.inputBox2
                function onTextChanged() { addDeviceButton.clearStatus(); }
            }
            function clearStatus() {
                if (mainPage.adding)
                    return;
                status = "";
                statusText = "";
            }
        }

        CorvaneButton {
            id: importButton
            objectName: "importButton"
            width: Math.min(implicitWidth, 280)
            height: parent.height
            btnText: qsTr("Import devices from device list")
            source: "qrc:/src/qml/res/images/MainPage_import_normal.png"
            hostWindow: mainPage.hostWindow
            onApply: mainPage.openImportDialog()
        }

        CorvaneButton {
            id: rangeSearchButton
            objectName: "rangeSearchButton"
            width: Math.min(implicitWidth, 300)
            height: parent.height
            source: "qrc:/src/qml/res/images/MainPage_range_normal.png"
            actived: rangeBox.visible
            hostWindow: mainPage.hostWindow
            btnText: rangeBox.visible ? qsTr("Enter IP range")
                     : mainPage.rangeSet ? qsTr("IP range") + ":" + mainPage.strSearchIPStart + "~" + mainPage.strSearchIPEnd
                     : qsTr("Search with IP range")
            onApply: {
                if (rangeBox.visible)
                    rangeBox.close();
                else
                    rangeBox.open();
            }
        }

        ZyrImgButton {
            id: rangeDeleteButton
            objectName: "rangeDeleteButton"
            anchors.verticalCenter: parent.verticalCenter
            width: 24
            height: 24
            visible: mainPage.rangeSet && !mainPage.searching && !mainPage.isRangedSearch
            tipText: qsTr("Delete")
            hostWindow: mainPage.hostWindow
            normalSource: "qrc:/src/qml/res/images/MainPage_delete_normal.png"
            hoveredSource: "qrc:/src/qml/res/images/MainPage_delete_hovered.png"
            pressedSource: "qrc:/src/qml/res/images/MainPage_delete_pressed.png"
            onClicked: mainPage.clearRange()
        }
    }

    // The progress of a range search, at the right of the tabs, where the action row's long
    // range caption cannot reach.
    Row {
        id: rangeProgress
        anchors.right: parent.right
        anchors.rightMargin: 30
        y: deviceSetTabs.y
        height: deviceSetTabs.height
        spacing: 10
        visible: mainPage.isRangedSearch

        Rectangle {
            id: rangeProgressBar
            objectName: "rangeProgressBar"
            readonly property real value: mainPage.ctrl ? Math.max(0, Math.min(100, mainPage.ctrl.progress)) : 0
            anchors.verticalCenter: parent.verticalCenter
            width: 180
            height: 7
            radius: 3
            color: Qt.rgba(1, 1, 1, 0.25)
            Rectangle {
                width: parent.width * rangeProgressBar.value / 100
                height: parent.height
                radius: parent.radius
                color: "#ffffff"
            }
        }
        ZyrImgButton {
            id: rangeStopButton
            objectName: "rangeStopButton"
            anchors.verticalCenter: parent.verticalCenter
            width: 28
            height: 28
            tipText: qsTr("Stop")
            hostWindow: mainPage.hostWindow
            normalSource: "qrc:/src/qml/res/images/MainPage_stop_normal.png"
            hoveredSource: "qrc:/src/qml/res/images/MainPage_stop_hovered.png"
            pressedSource: "qrc:/src/qml/res/images/MainPage_stop_pressed.png"
            onClicked: mainPage.stopRangeSearch()
        }
    }

    // Discovery of recorders only: kept for the controller's sake, never shown; searches always
    // ask for every device.
    CorvaneCheckBox {
        id: nvOnlyCheckBox
        objectName: "nvOnlyCheckBox"
        visible: false
        checked: false
        text: qsTr("NVR only")
    }

    SelectedTab {
        id: deviceSetTabs
        objectName: "deviceSetTabs"
        x: 30
        y: 158
        objectPrefix: "deviceSet_"
        enabled: !mainPage.searching
        currentName: mainPage.deviceSet
        tabs: [
            { name: "all", text: qsTr("All devices") },
            { name: "camera", text: qsTr("Camera") },
            { name: "nvr", text: qsTr("NVR") }
        ]
        onTabChosen: mainPage.chooseDeviceSet(name)
    }

    DeviceTable {
        id: deviceTable
        objectName: "deviceTable"
        x: 30
        y: 198
        width: mainPage.width - 60
        height: mainPage.height - y - 24
        enabled: !mainPage.searching
        focus: true
        tableModel: mainPage.listModel
        tableCtrl: mainPage.listCtrl
        hostWindow: mainPage.hostWindow
        onOpenWebPage: {
            if (mainPage.ctrl)
                mainPage.ctrl.openWebPage(url);
        }
    }

    IpRangeBox {
        id: rangeBox
        hostWindow: mainPage.hostWindow
        anchorItem: rangeSearchButton
        onRangeChosen: {
            mainPage.strSearchIPStart = start;
            mainPage.strSearchIPEnd = end;
            mainPage.requiredTime = requiredTime;
            mainPage.searchIPRange();
        }
    }

    Loader {
        id: importDialogLoader
        objectName: "importDialogLoader"
        active: false
        source: "ImportFileDialog.qml"
        onLoaded: item.open()
    }
    Connections {
        target: importDialogLoader.item
        ignoreUnknownSignals: true
        function onAccepted() {
            mainPage.importFile(importDialogLoader.item.fileUrl);
        }
    }

    ImportingBlock {
        id: importingBlock
        objectName: "importingBlock"
        text: qsTr("Loading")
        visible: false
    }

    WarningWindow {
        id: importNotice
        objectName: "importNoticeWindow"
        hostWindow: mainPage.hostWindow
        confirm: true
        extend: true
        showLeftButton: false
        rightBtnText: qsTr("Close")
        function showMessage(message) {
            warningText = message;
            open();
        }
        onRightBtnClicked: close()
    }

    AuthorizeWindow {
        id: authorizeWindow
        hostWindow: mainPage.hostWindow
        deviceModel: mainPage.unauthorizedModel
        onApply: {
            if (mainPage.ctrl)
                mainPage.ctrl.authorize(user, password);
        }
        // Closed by the user: the main page stays.
        onDismissed: mainPage.resume(false)
    }

    PasswordSettingWindow {
        id: passwordSettingWindow
        hostWindow: mainPage.hostWindow
        deviceModel: mainPage.needPasswordModel
        policyCheck: mainPage.policyCheck
        pageCtrl: mainPage.ctrl
        onApplyAll: {
            if (mainPage.ctrl)
                mainPage.ctrl.setNewFWPassword(password);
        }
        onDismissed: {
            if (mainPage.completeWhenAuthorized) {
                mainPage.completeWhenAuthorized = false;
                mainPage.resume(false);
            }
        }
    }
}
