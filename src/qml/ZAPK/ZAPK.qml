import QtQuick 2.15
import "../Common"
import "../OstraQuick"

// The application page: the modules found on the selected cameras at the left, the devices of
// the current module at the right, and below them the set-up and uninstall actions. Entering
// asks every camera for its modules; the first module found becomes current.
//
// A run (an uninstall, or a set-up through a set-up window) keeps the page: it may be left only
// after a question while it waits or works, or once it ended with failures.
TopLevelPage {
    id: page

    objectName: "zapkPage"
    pageName: "ZAPK"
    statusBarHeight: height

    // The controllers, through properties so that a test can hand in its own.
    property var ctrl: typeof zapkPageCtrl !== "undefined" ? zapkPageCtrl : null
    property var buttonModel: typeof zapkButtonModel !== "undefined" ? zapkButtonModel : null
    property var devicesModel: typeof zapkPageModel !== "undefined" ? zapkPageModel : null
    property var devicesModelCtrl: typeof zapkModelCtrl !== "undefined" ? zapkModelCtrl : null

    readonly property string trendMicroName: "Trend Micro IoT Security"
    readonly property var stereoModules: ["Rureru Revevaz", "Zovu Rorevazu ZAV", "VCA", "ANPR"]

    property bool searching: false
    property int currentRow: -1
    property string currentTitle: ""
    // The uninstall's status marks on the current module; "Setup" turns them off.
    property bool showUninstallStatus: false
    // The set-up window last opened: "", "general", "trend" or "stereo".
    property string setupMode: ""
    // The module to go to once a question about the running or failed run is answered.
    property int pendingRow: -1

    readonly property int pageStatus: ctrl ? ctrl.pageStatus : -1
    readonly property int errorCount: ctrl && ctrl.errorCount !== undefined ? ctrl.errorCount : 0
    readonly property int numDevices: ctrl && ctrl.numDevices !== undefined ? ctrl.numDevices : 0
    readonly property bool running: pageStatus === 2 || pageStatus === 3
    readonly property bool failedRun: pageStatus === 4 && errorCount > 0
    readonly property int moduleCount: buttonModel ? (buttonModel.count !== undefined ? buttonModel.count : buttonModel.rowCount()) : 0
    readonly property int rowCount: devicesModel ? (devicesModel.count !== undefined ? devicesModel.count : devicesModel.rowCount()) : 0
    readonly property int numSelected: devicesModel && devicesModel.numSelected !== undefined ? devicesModel.numSelected : 0
    readonly property bool setupEnabled: currentRow >= 0 && currentTitle !== "Cloud" && numSelected > 0 && !running
    readonly property bool uninstallEnabled: numSelected > 0 && !running

    readonly property alias moduleList: moduleList
    readonly property alias deviceTable: deviceTable
    readonly property alias searchBox: searchBox
    readonly property alias questionWindow: questionWindow
    readonly property alias uninstallWindow: uninstallWindow
    readonly property alias leaveWindow: leaveWindow
    readonly property alias setupWindow: setupWindow

    blocking: running || failedRun

    function moduleName(row) {
        if (!buttonModel || row < 0 || row >= moduleCount)
            return "";
        if (buttonModel.get !== undefined)
            return buttonModel.get(row).modelname;
        // CZAPKLeftModel's name role.
        return buttonModel.data(buttonModel.index(row, 0), Qt.UserRole + 100);
    }

    function enterPage() {
        searching = true;
        currentRow = -1;
        currentTitle = "";
        showUninstallStatus = false;
        if (ctrl)
            ctrl.enterPage();
    }

    function leavePage() {
        setupWindow.close();
        searchBox.text = "";
        if (ctrl)
            ctrl.leavePage();
    }

    function refresh() {
        searching = true;
        if (ctrl)
            ctrl.refresh();
    }

    function searchFinished() {
        searching = false;
        if (moduleCount === 0) {
            currentRow = -1;
            currentTitle = "";
            return;
        }
        if (ctrl)
            ctrl.itemClicked(0);
        currentRow = 0;
        // A search that ends on the same first module asks for the signature again too.
        currentTitle = "";
        currentTitle = moduleName(0);
    }

    onCurrentTitleChanged: {
        if (currentTitle === trendMicroName && ctrl)
            ctrl.getSignature(false);
    }

    // A click on a module: a running or failed run is asked about first.
    function moduleClicked(row) {
        if (failedRun) {
            askQuestion(qsTr("Failed to uninstall package from some devices. Are you sure you want to abort?"),
                        qsTr("Abort"), "module", row);
            return;
        }
        if (running) {
            askQuestion(qsTr("Uninstalling package from devices. Are you sure you want to leave?"),
                        qsTr("Abort"), "abortModule", row);
            return;
        }
        goToModule(row);
    }

    function goToModule(row) {
        if (!ctrl)
            return;
        ctrl.itemClicked(row);
        currentRow = row;
        currentTitle = moduleName(row);
        ctrl.setCurrentPackage(currentTitle);
        ctrl.clearCurrentModuleStatus();
        ctrl.clearPage();
    }

    function setupClicked() {
        if (failedRun) {
            askQuestion(qsTr("Failed to uninstall package from some devices. Are you sure you want to abort?"),
                        qsTr("Abort"), "setup", -1);
            return;
        }
        openSetup();
    }

    function setupModeFor(title) {
        if (stereoModules.indexOf(title) >= 0)
            return "stereo";
        return title === trendMicroName ? "trend" : "general";
    }

    function openSetup() {
        showUninstallStatus = false;
        if (ctrl)
            ctrl.setup();
        setupMode = setupModeFor(currentTitle);
        setupWindow.mode = setupMode;
        setupWindow.title = currentTitle;
        setupWindow.reset();
        setupWindow.open();
    }

    function setupClosed() {
        setupWindow.close();
        if (ctrl) {
            ctrl.clearPage();
            ctrl.clearAllStatus();
        }
    }

    function uninstallClicked() {
        uninstallWindow.open();
    }

    function uninstall() {
        showUninstallStatus = true;
        if (ctrl)
            ctrl.remove();
    }

    function askQuestion(text, left, action, row) {
        questionWindow.action = action;
        pendingRow = row;
        questionWindow.warningText = text;
        questionWindow.leftBtnText = left;
        questionWindow.open();
    }

    function questionAccepted(action) {
        if (action === "abortModule" && ctrl)
            ctrl.abortWorkingCtrl();
        if (action === "module" || action === "abortModule")
            goToModule(pendingRow);
        else if (action === "setup")
            openSetup();
    }

    function resolveBlocking() {
        leaveWindow.answered = false;
        leaveWindow.abortFirst = running;
        leaveWindow.warningText = running ? qsTr("Uninstalling package from devices. Are you sure you want to leave?")
                                          : qsTr("Failed to uninstall package from some devices. Are you sure you want to abort?");
        leaveWindow.leftBtnText = qsTr("Leave");
        leaveWindow.open();
    }

    Connections {
        target: page.ctrl
        ignoreUnknownSignals: true
        function onSearchEnd() { page.searchFinished(); }
        function onCompleted() { setupWindow.sending = false; }
    }

    Item {
        id: root
        objectName: "rootZAPK"
        anchors.fill: parent

        // The modules.
        Rectangle {
            id: leftPanel
            x: 30
            y: 30
            width: 372
            height: Math.min(602, parent.height - y - 30)
            radius: 2
            color: "#242833"

            Text {
                id: listTitle
                objectName: "ZAPKPackagesTitle"
                x: 36
                y: 18
                width: parent.width - x - 70
                text: page.searching ? qsTr("Searching") + "..." : qsTr("%1 Packages").arg(page.moduleCount)
                color: "#ffffff"
                font.family: _GProperty_.fontSet.f011.family
                font.pixelSize: 18
                elide: Text.ElideRight
            }
            ZyrButton {
                objectName: "refreshPackagesButton"
                anchors.right: parent.right
                anchors.rightMargin: 36
                anchors.verticalCenter: listTitle.verticalCenter
                width: 28
                height: 28
                enabled: !page.searching && !page.running
                normalSource: "qrc:/src/qml/res/images/Common_refresh_Icon.png"
                btnImgInfo.sourceSize: Qt.size(32, 32)
                btnImgInfo.width: 20
                btnImgInfo.height: 20
                hoverColor: "#3a404d"
                radius: 2
                tipText: qsTr("Refresh")
                onClicked: page.refresh()
            }

            ListView {
                id: moduleList
                objectName: "packageBtnList"
                x: 36
                y: 60
                width: 300
                height: parent.height - y - 20
                clip: true
                spacing: 8
                boundsBehavior: Flickable.StopAtBounds
                model: page.searching ? null : page.buttonModel
                delegate: ZAPKModuleButton {
                    objectName: "packageItem" + index
                    row: index
                    moduleName: model.modelname !== undefined ? model.modelname : ""
                    deviceCount: model.devicecount !== undefined ? model.devicecount : 0
                    current: page.currentRow === index
                    showBusy: current && page.showUninstallStatus && page.pageStatus === 3
                    showWarning: current && page.showUninstallStatus && page.errorCount > 0
                    onClicked: page.moduleClicked(row)
                }
            }
        }

        // The devices of the current module.
        Item {
            id: rightPanel
            x: leftPanel.x + leftPanel.width + 24
            y: leftPanel.y
            width: parent.width - x - 30
            height: actionBar.y - y - 16

            Text {
                id: moduleText
                objectName: "selectedModuleText"
                y: 4
                // Room for the count beside it and the filter at the right.
                width: Math.min(implicitWidth, parent.width - searchBox.width - 110)
                text: page.currentTitle
                color: "#ffffff"
                font.family: _GProperty_.fontSet.f011.family
                font.pixelSize: 18
                elide: Text.ElideRight
            }
            Text {
                objectName: "seletedCountText"
                anchors.left: moduleText.right
                anchors.leftMargin: 12
                anchors.baseline: moduleText.baseline
                visible: page.numSelected > 0
                text: page.numSelected + " " + qsTr("selected")
                color: "#bbd0d6"
                font.pixelSize: 14
            }
            Text {
                objectName: "txtDeviceCount"
                anchors.left: moduleText.right
                anchors.leftMargin: 12
                anchors.baseline: moduleText.baseline
                visible: page.numSelected === 0
                text: page.rowCount + " " + qsTr("device(s)")
                color: "#bbd0d6"
                font.pixelSize: 14
            }

            ZyrInputBox {
                id: searchBox
                objectName: "searchBox"
                x: parent.width - width
                width: 220
                height: 32
                maximumLength: 256
                hintText: qsTr("Filter")
                iconSource: "qrc:/src/qml/res/images/MainPage_filter.png"
                onTextChanged: {
                    if (page.devicesModelCtrl)
                        page.devicesModelCtrl.setFilter(text);
                }
            }

            CorvaneTable {
                id: deviceTable
                objectName: "ZAPKRightPanelTable"
                // The uninstall's status cells read it.
                readonly property string statusKey: "zapkUninstall"
                y: searchBox.height + 12
                width: parent.width
                height: parent.height - y
                model: page.devicesModel
                ctrl: page.devicesModelCtrl
                rowHeight: 40
                rowDelegate: Component {
                    ListTableRowDelegate { objectName: "cameraRow" + rowIndex }
                }
                columns: [
                    RoleInfo { roleName: "statusRole"; title: qsTr("Status"); width: 0.12; dlg: Component { TableDlgForZAPKUninstall {} } },
                    RoleInfo { roleName: "modelRole"; title: qsTr("Model"); width: 0.16 },
                    RoleInfo { roleName: "ipRole"; title: qsTr("IP"); width: 0.18 },
                    RoleInfo { roleName: "macRole"; title: qsTr("MAC"); width: 0.24 },
                    RoleInfo { roleName: "zapkVerRole"; title: qsTr("Package version"); width: 0.14 },
                    RoleInfo { roleName: "zapkStatusRole"; title: qsTr("Package status"); width: 0.14 }
                ]
            }
        }

        ZAPKActionBar {
            id: actionBar
            x: rightPanel.x
            y: parent.height - height - 30
            width: rightPanel.width
            setupEnabled: page.setupEnabled
            uninstallEnabled: page.uninstallEnabled
            onSetupClicked: page.setupClicked()
            onUninstallClicked: page.uninstallClicked()
        }
    }

    ZAPKSetupWindow {
        id: setupWindow
        hostWindow: page.hostWindow
        ctrl: page.ctrl
        onCloseRequested: page.setupClosed()
    }

    WarningWindow {
        id: uninstallWindow
        objectName: "uninstallWindow"
        hostWindow: page.hostWindow
        warningText: qsTr("Are you sure you want to uninstall this package?")
        leftBtnText: qsTr("Uninstall")
        rightBtnText: qsTr("Cancel")
        onLeftBtnClicked: page.uninstall()
    }

    WarningWindow {
        id: questionWindow
        objectName: "zapkQuestionWindow"
        property string action: ""
        hostWindow: page.hostWindow
        onLeftBtnClicked: page.questionAccepted(action)
    }

    WarningWindow {
        id: leaveWindow
        objectName: "leaveZAPKWindow"
        property bool answered: false
        property bool abortFirst: false
        hostWindow: page.hostWindow
        onLeftBtnClicked: {
            answered = true;
            if (page.ctrl) {
                if (abortFirst)
                    page.ctrl.abortWorkingCtrl();
                else
                    page.ctrl.leavePage();
            }
            page.resume(true);
        }
        onClosed: {
            if (!answered)
                page.resume(false);
            answered = true;
        }
    }
}
