import QtQuick 2.15
import "../Common"
import "../OstraQuick"
import "../Maintenance"

// The export area: a bar of tabs over a switcher with the device-list and the debug-report
// pages. For recorders only the device list is offered, and it is the page shown on entry; for
// cameras the area starts at its instruction page with no tab chosen. The mode is the main
// window's recorder setting, taken again on every entry.
TopLevelPage {
    id: page

    objectName: "exportPage"
    pageName: "Export"
    topMargin: 32
    statusBarHeight: height
    pageSwitcher: switcher

    property bool recorderMode: false
    // The area itself picks its first page; no tab is chosen for it.
    property bool entering: false
    readonly property int tabsWidth: 1032
    readonly property alias tabView: tabView
    readonly property alias switcher: switcher

    function windowRecorderMode() {
        return hostWindow && hostWindow.recorderMode === true;
    }

    function enterPage() {
        recorderMode = windowRecorderMode();
        tabView.currentName = "";
        tabView.previousName = "";
        entering = true;
        var first = recorderMode ? "SetupDetail" : "Instruction";
        if (switcher.shownPage === first) {
            // Shown afresh: the page is entered again.
            switcher.call(switcher.currentItem, "leavePage");
            switcher.call(switcher.currentItem, "enterPage");
            coverTabs();
        } else {
            switcher.currentPage = first;
        }
        entering = false;
    }

    // The device-list page covers the tab bar while it is the only page.
    function coverTabs() {
        var item = switcher.page("SetupDetail");
        if (item && item.recorderMode !== undefined) {
            item.tabBarHeight = tabView.height;
            item.recorderMode = page.recorderMode;
        }
    }

    onRecorderModeChanged: coverTabs()

    ListModel {
        id: cameraTabs
        ListElement { nameRole: "SetupDetail"; displayRole: qsTr("Device list"); enableRole: true; normalImgRole: "qrc:/src/qml/res/images/Export_SetupDetail.png" }
        ListElement { nameRole: "DebugReport"; displayRole: qsTr("Config and Debug"); enableRole: true; normalImgRole: "qrc:/src/qml/res/images/Export_DebugReport.png" }
    }
    ListModel {
        id: recorderTabs
        ListElement { nameRole: "SetupDetail"; displayRole: qsTr("Device list"); enableRole: true; normalImgRole: "qrc:/src/qml/res/images/Export_SetupDetail.png" }
    }

    ZyrImgTabView {
        id: tabView
        objectName: "exportTabView"
        y: page.topMargin
        orientation: Qt.Horizontal
        model: page.recorderMode ? recorderTabs : cameraTabs
        tabWidth: Math.floor(page.tabsWidth / (page.recorderMode ? 1 : 2))
        tabHeight: 70
        tabDelegate: Component { MaintenanceTab { namePrefix: "exportMode_" } }
        onTabClicked: switcher.currentPage = name
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
        y: tabView.y + tabView.height
        width: parent.width
        height: parent.height - y
        hostWindow: page.hostWindow
        currentPage: "Instruction"

        onRequireRewind: tabView.restore()
        onPageShown: {
            if (!page.entering && tabView.currentName !== name)
                tabView.currentName = name;
            page.coverTabs();
        }

        PageInfo {
            name: "Instruction"
            source: Qt.resolvedUrl("ExportInstructionPage.qml")
        }
        PageInfo {
            name: "SetupDetail"
            source: Qt.resolvedUrl("ExportDevicesPage.qml")
        }
        PageInfo {
            name: "DebugReport"
            source: Qt.resolvedUrl("ExportDebugPage.qml")
        }
    }
}
