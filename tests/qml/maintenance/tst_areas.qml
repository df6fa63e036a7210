import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/Maintenance"
import "qrc:/src/qml/Export"

// The maintenance and export areas: which tabs each mode offers and which page shows on entry,
// tabs that switch pages, and a tab choice that a working page refuses until its question is
// answered.
Item {
    id: top
    width: 1032
    height: 768

    GlobalProperty {
        id: _GProperty_
    }
    FakeSwitcher { id: rootSwitcher }
    FakePageCtrl { id: rebootCtrl; statusKey: "restart" }

    // The main window as far as the areas read it.
    QtObject {
        id: fakeHost
        property real xScale: 1
        property real yScale: 1
        property bool recorderMode: false
    }

    Maintenance {
        id: maintenance
        width: top.width
        height: top.height
        hostWindow: fakeHost
        ownerSwitcher: rootSwitcher
    }
    Export {
        id: exportArea
        width: top.width
        height: top.height
        hostWindow: fakeHost
        ownerSwitcher: rootSwitcher
    }

    TestCase {
        name: "Areas"
        when: windowShown

        function tabNames(area, prefix) {
            var names = [];
            var rep = area.tabView.repeater;
            for (var i = 0; i < rep.count; ++i) {
                var tab = rep.itemAt(i).item;
                verify(tab.objectName.indexOf(prefix) === 0, tab.objectName);
                names.push(tab.objectName.substring(prefix.length));
            }
            return names;
        }
        function enter(area, recorder) {
            fakeHost.recorderMode = recorder;
            maintenance.visible = area === maintenance;
            exportArea.visible = area === exportArea;
            area.enterPage();
        }

        function test_tabsAndFirstPageByMode_data() {
            return [
                { tag: "maintenance, cameras", area: "maintenance", recorder: false, prefix: "maintenanceMode_",
                  tabs: ["Firmware", "License", "Package", "Restore", "Restart"], first: "Instruction", tabWidth: 206 },
                { tag: "maintenance, recorders", area: "maintenance", recorder: true, prefix: "maintenanceMode_",
                  tabs: ["NVRFirmware"], first: "NVRFirmware", tabWidth: 1032 },
                { tag: "export, cameras", area: "export", recorder: false, prefix: "exportMode_",
                  tabs: ["SetupDetail", "DebugReport"], first: "Instruction", tabWidth: 516 },
                { tag: "export, recorders", area: "export", recorder: true, prefix: "exportMode_",
                  tabs: ["SetupDetail"], first: "SetupDetail", tabWidth: 1032 }
            ];
        }
        function test_tabsAndFirstPageByMode(data) {
            var area = data.area === "maintenance" ? maintenance : exportArea;
            // Each mode follows the other, so the switch between them is covered too.
            enter(area, !data.recorder);
            area.tabView.choose(tabNames(area, data.prefix)[0]);
            enter(area, data.recorder);
            compare(tabNames(area, data.prefix), data.tabs);
            compare(area.switcher.shownPage, data.first);
            compare(area.tabView.currentName, "");
            compare(area.tabView.tabWidth, data.tabWidth);
            compare(area.tabView.tabHeight, 70);
        }

        function test_recorderDeviceListCoversTheTabBar_data() {
            return [
                { tag: "recorders", recorder: true },
                { tag: "cameras", recorder: false }
            ];
        }
        function test_recorderDeviceListCoversTheTabBar(data) {
            enter(exportArea, data.recorder);
            exportArea.tabView.choose("SetupDetail");
            var page = exportArea.switcher.page("SetupDetail");
            compare(findChild(page, "tabBarCover").visible, data.recorder);
        }

        function test_tabShowsItsPage_data() {
            return [
                { tag: "restore", tab: "Restore", page: "restorePage" },
                { tag: "restart", tab: "Restart", page: "restartPage" },
                { tag: "firmware", tab: "Firmware", page: "firmwarePage" }
            ];
        }
        function test_tabShowsItsPage(data) {
            enter(maintenance, false);
            mouseClick(findChild(maintenance, "maintenanceMode_" + data.tab));
            compare(maintenance.switcher.shownPage, data.tab);
            compare(maintenance.switcher.currentItem.objectName, data.page);
            compare(maintenance.tabView.currentName, data.tab);
        }

        function test_workingPageHoldsTheTabUntilAnswered_data() {
            return [
                { tag: "leave", left: true, shown: "Restore" },
                { tag: "stay", left: false, shown: "Restart" }
            ];
        }
        function test_workingPageHoldsTheTabUntilAnswered(data) {
            enter(maintenance, false);
            maintenance.tabView.choose("Restart");
            var restart = maintenance.switcher.currentItem;
            restart.pageCtrl = rebootCtrl;
            rebootCtrl.pageStatus = 3;
            maintenance.tabView.choose("Restore");
            compare(maintenance.switcher.shownPage, "Restart");
            compare(maintenance.tabView.currentName, "Restart");
            var w = findChild(restart, "leaveRestartWindow");
            verify(w.visible);
            if (data.left)
                w.leftButton.apply();
            else
                w.rightButton.apply();
            compare(maintenance.switcher.shownPage, data.shown);
            compare(maintenance.tabView.currentName, data.shown);
            restart.pageCtrl = null;
        }

        function test_leavingTheAreaAsksTheWorkingPage() {
            enter(maintenance, false);
            maintenance.tabView.choose("Restart");
            var restart = maintenance.switcher.currentItem;
            restart.pageCtrl = rebootCtrl;
            rebootCtrl.pageStatus = 4;
            rebootCtrl.errorCount = 1;
            rootSwitcher.answers = [];
            // The window's switcher asks the area, the area its own switcher first.
            verify(maintenance.checkBlocking(false));
            var w = findChild(restart, "leaveRestartWindow");
            compare(w.leftButton.btnText, "Abort");
            w.leftButton.apply();
            compare(rootSwitcher.answers, [true]);
            restart.pageCtrl = null;
        }
    }
}
