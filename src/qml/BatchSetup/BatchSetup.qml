import QtQuick 2.15
import "../Common"
import "../OstraQuick"

// Batch setup: two template modes (from a camera, from a file) over the instruction, settings
// and uploading pages. A template that loads leads to the settings, their apply to the
// uploading page, a template tab back to the instruction. After a run that restarts the cameras
// the tabs stay disabled until the page is entered again.
TopLevelPage {
    id: page

    objectName: "batchSetupPage"
    pageName: "BatchSetup"
    topMargin: 32
    statusBarHeight: height
    pageSwitcher: switcher

    property var pageCtrl: typeof batchSetupPageCtrl !== "undefined" ? batchSetupPageCtrl : null
    property bool tabsEnabled: true
    // The tab chosen while the shown page refused to be left; acted on once the user agrees.
    property string pendingTab: ""
    readonly property alias tabView: tabView
    readonly property alias switcher: switcher
    readonly property string templateText: pageCtrl && pageCtrl.currentTemplateInfo !== undefined ? pageCtrl.currentTemplateInfo : ""
    readonly property bool templateShown: switcher.shownPage !== "" && switcher.shownPage !== "Instruction"

    function enterPage() {
        pendingTab = "";
        switcher.currentPage = "Instruction";
        if (pageCtrl) {
            pageCtrl.enterPage();
            pageCtrl.resetOptionListDirtyBit();
        }
        var instruction = switcher.page("Instruction");
        if (instruction)
            instruction.hideCameraWindow();
        tabsEnabled = true;
        refreshTabs();
    }

    // The shown page is left with the area: the uploading page stops its countdown. A run still
    // going is aborted by the controller.
    function leavePage() {
        switcher.call(switcher.currentItem, "leavePage");
        if (pageCtrl)
            pageCtrl.leavePage();
    }

    function refreshTabs() {
        modes.setProperty(0, "captionRole", templateShown && templateText !== "" ? templateText : qsTr("Create a template from camera"));
        modes.setProperty(0, "selectedRole", templateShown);
        modes.setProperty(0, "enableRole", tabsEnabled);
        modes.setProperty(1, "enableRole", tabsEnabled);
    }

    function performTab(name) {
        switcher.currentPage = "Instruction";
        var instruction = switcher.page("Instruction");
        if (!instruction)
            return;
        if (name === "CreateFromCamera")
            instruction.toggleCameraWindow();
        else if (name === "ImportTemplate")
            instruction.openImport();
    }

    function chooseTab(name) {
        tabView.currentName = "";
        if (switcher.checkBlocking(false)) {
            pendingTab = name;
            switcher.resumeTarget = tabResume;
            return;
        }
        performTab(name);
    }

    // Takes the answer to a leave question that a tab asked.
    QtObject {
        id: tabResume
        function resume(accept) {
            var name = page.pendingTab;
            page.pendingTab = "";
            if (accept && name !== "")
                page.performTab(name);
        }
    }

    onTemplateShownChanged: refreshTabs()
    onTemplateTextChanged: refreshTabs()
    onTabsEnabledChanged: refreshTabs()

    ListModel {
        id: modes
        ListElement { nameRole: "CreateFromCamera"; displayRole: qsTr("Create a template from camera"); captionRole: ""; enableRole: true; selectedRole: false }
        ListElement { nameRole: "ImportTemplate"; displayRole: qsTr("Import a template"); captionRole: ""; enableRole: true; selectedRole: false }
        Component.onCompleted: {
            setProperty(0, "captionRole", qsTr("Create a template from camera"));
            setProperty(1, "captionRole", qsTr("Import a template"));
        }
    }

    Connections {
        target: page.pageCtrl
        ignoreUnknownSignals: true
        function onDevicesRestartingAfterApplied(bRestarting) {
            if (bRestarting)
                page.tabsEnabled = false;
        }
    }

    ZyrImgTabView {
        id: tabView
        objectName: "BatchSetupTemplateSelectView"
        y: page.topMargin
        orientation: Qt.Horizontal
        model: modes
        tabWidth: Math.min(360, Math.floor(page.width / 2))
        tabHeight: 70
        tabDelegate: Component { BatchSetupTab {} }
        onTabClicked: page.chooseTab(name)
    }

    Rectangle {
        y: tabView.y + tabView.height
        width: parent.width
        height: 1
        color: "#ffffff"
        opacity: 0.15
    }

    PageSwitcher {
        id: switcher
        objectName: "pageSwitcher"
        y: tabView.y + tabView.height + 1
        width: parent.width
        height: parent.height - y
        hostWindow: page.hostWindow
        currentPage: "Instruction"

        PageInfo {
            name: "Instruction"
            source: Qt.resolvedUrl("InstructionPage.qml")
        }
        PageInfo {
            name: "Setting"
            source: Qt.resolvedUrl("SettingPage.qml")
            keep: false
        }
        PageInfo {
            name: "Uploading"
            source: Qt.resolvedUrl("UploadingPage.qml")
        }
        onPageShown: {
            page.shownItem = switcher.currentItem;
            page.refreshTabs();
        }
    }

    // The shown page: the instruction reports a loaded template, the settings their apply or
    // abort.
    property var shownItem: null
    Connections {
        target: page.shownItem
        ignoreUnknownSignals: true
        function onLoaded() {
            switcher.currentPage = "Setting";
            page.refreshTabs();
        }
        function onApply() { switcher.currentPage = "Uploading"; }
        function onAbort() { switcher.currentPage = "Instruction"; }
    }
}
