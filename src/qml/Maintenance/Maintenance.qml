import QtQuick 2.15
import "../Common"
import "../OstraQuick"

// The maintenance area: a bar of tabs over a switcher of the area's pages. For cameras the tabs
// lead to firmware, licences, packages, restore and restart; for recorders only to the recorder
// firmware. The mode is the main window's recorder setting, taken again on every entry; the
// area starts at its instruction page (recorders: at their firmware page) with no tab chosen.
TopLevelPage {
    id: page

    objectName: "maintenancePage"
    pageName: "Maintenance"
    topMargin: 32
    // The gradient runs behind the whole area.
    statusBarHeight: height
    pageSwitcher: switcher

    property bool recorderMode: false
    // The area itself picks its first page; no tab is chosen for it.
    property bool entering: false
    readonly property alias tabView: tabView
    readonly property alias switcher: switcher

    // The main window's recorder setting; a test may set hostWindow to a stand-in.
    function windowRecorderMode() {
        return hostWindow && hostWindow.recorderMode === true;
    }

    function enterPage() {
        var wasRecorder = recorderMode;
        recorderMode = windowRecorderMode();
        tabView.currentName = "";
        tabView.previousName = "";
        entering = true;
        var first = recorderMode ? "NVRFirmware" : "Instruction";
        if (wasRecorder && switcher.shownPage === first) {
            // Shown afresh: the page is entered again.
            switcher.call(switcher.currentItem, "leavePage");
            switcher.call(switcher.currentItem, "enterPage");
        } else {
            switcher.currentPage = first;
        }
        entering = false;
    }

    function setRunning(name, running) {
        for (var i = 0; i < cameraTabs.count; ++i) {
            if (cameraTabs.get(i).nameRole === name)
                cameraTabs.setProperty(i, "runningRole", running);
        }
    }

    ListModel {
        id: cameraTabs
        ListElement { nameRole: "Firmware"; displayRole: qsTr("Upload firmware"); enableRole: true; runningRole: false; normalImgRole: "qrc:/src/qml/res/images/Maint_Firmware.png" }
        ListElement { nameRole: "License"; displayRole: qsTr("Update licenses"); enableRole: true; runningRole: false; normalImgRole: "qrc:/src/qml/res/images/Maint_License.png" }
        ListElement { nameRole: "Package"; displayRole: qsTr("Update packages"); enableRole: true; runningRole: false; normalImgRole: "qrc:/src/qml/res/images/Maint_Package.png" }
        ListElement { nameRole: "Restore"; displayRole: qsTr("Restore devices"); enableRole: true; normalImgRole: "qrc:/src/qml/res/images/Maint_Restore.png" }
        ListElement { nameRole: "Restart"; displayRole: qsTr("Restart devices"); enableRole: true; normalImgRole: "qrc:/src/qml/res/images/Maint_Restart.png" }
    }
    ListModel {
        id: recorderTabs
        ListElement { nameRole: "NVRFirmware"; displayRole: qsTr("Upload firmware"); enableRole: true; normalImgRole: "qrc:/src/qml/res/images/Maint_NVRFirmware.png" }
    }

    Item {
        id: area
        objectName: "MaintenanceTopLevelPage"
        anchors.fill: parent

        ZyrImgTabView {
            id: tabView
            objectName: "maintenanceTabView"
            y: page.topMargin
            orientation: Qt.Horizontal
            model: page.recorderMode ? recorderTabs : cameraTabs
            tabWidth: page.recorderMode ? page.width : 206
            tabHeight: 70
            tabDelegate: Component { MaintenanceTab {} }
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
            }

            PageInfo {
                name: "Instruction"
                source: Qt.resolvedUrl("InstructionPage.qml")
            }
            PageInfo {
                name: "Restore"
                source: Qt.resolvedUrl("RestorePage.qml")
            }
            PageInfo {
                name: "Restart"
                source: Qt.resolvedUrl("RestartPage.qml")
            }

            PageInfo {
                name: "Firmware"
                source: Qt.resolvedUrl("Firmware.qml")
            }
            PageInfo {
                name: "NVRFirmware"
                source: Qt.resolvedUrl("FirmwareNVR.qml")
            }

            PageInfo {
                name: "License"
                source: Qt.resolvedUrl("LicensePage.qml")
            }
            PageInfo {
                name: "Package"
                source: Qt.resolvedUrl("PackagePage.qml")
            }
        }
    }

    // The pages that run long mark their tabs while they run.
    Connections {
        target: typeof firmwarePageCtrl !== "undefined" ? firmwarePageCtrl : null
        ignoreUnknownSignals: true
        function onStarted() { page.setRunning("Firmware", true); }
        function onCompleted() { page.setRunning("Firmware", false); }
    }
    Connections {
        target: typeof zapkLicensePageCtrl !== "undefined" ? zapkLicensePageCtrl : null
        ignoreUnknownSignals: true
        function onStarted() { page.setRunning("License", true); }
        function onCompleted() { page.setRunning("License", false); }
    }
    Connections {
        target: typeof zapkPackagePageCtrl !== "undefined" ? zapkPackagePageCtrl : null
        ignoreUnknownSignals: true
        function onStarted() { page.setRunning("Package", true); }
        function onCompleted() { page.setRunning("Package", false); }
    }
}
