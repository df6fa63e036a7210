import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/Maintenance"

// The "Update packages" and "Update licenses" tabs against stand-in controllers and page
// models: the calls on entry and on a file choice, the groups' buttons by status with each tab's
// texts, cancel and retry, the device lists, the failure messages and the leave guard.
Item {
    id: top
    width: 1032
    height: 668

    GlobalProperty {
        id: _GProperty_
    }

    FakeZapkUploadCtrl { id: packageCtrl; statusKey: "zapkPackage" }
    FakeZapkUploadCtrl { id: licenseCtrl; statusKey: "zapkLicense" }
    FakeSwitcher { id: switcher }

    QtObject {
        id: fakeHost
        property real xScale: 1
        property real yScale: 1
        property bool bigScreen: false
    }

    ListModel {
        id: devices
        property int rawCount: 3
        ListElement { ipRole: "10.0.0.1"; modelRole: "QD8182"; macRole: "02-A5-7F-00-00-01"; zapkVerRole: "1.0"; statusRole: -1 }
        ListElement { ipRole: "10.0.0.2"; modelRole: "QB9365"; macRole: "02-A5-7F-00-00-02"; zapkVerRole: "1.0"; statusRole: -1 }
    }
    ListModel {
        id: failedDevices
        ListElement { ipRole: "10.0.0.2"; statusRole: 0 }
    }
    ListModel {
        id: packageGroups
        property int numFailedGroup: 0
    }
    ListModel {
        id: licenseGroups
        property int numFailedGroup: 0
    }

    PackagePage {
        id: packagePage
        width: top.width; height: top.height
        pageCtrl: packageCtrl; pageModel: packageGroups; devicesModel: devices
        hostWindow: fakeHost
        ownerSwitcher: switcher
        visible: true
    }
    LicensePage {
        id: licensePage
        width: top.width; height: top.height
        pageCtrl: licenseCtrl; pageModel: licenseGroups; devicesModel: devices
        hostWindow: fakeHost
        ownerSwitcher: switcher
        visible: false
    }

    TestCase {
        name: "ZapkMaintenanceTabs"
        when: windowShown

        readonly property var pages: ({ package: packagePage, license: licensePage })
        readonly property var ctrls: ({ package: packageCtrl, license: licenseCtrl })
        readonly property var models: ({ package: packageGroups, license: licenseGroups })

        function group(file, status, errors, key) {
            return { fileDescriptionRole: file, statusRole: status, countRole: 2, errorCountRole: errors,
                     progressRole: 40, statusIndexRole: key, failedDevicesModelRole: failedDevices };
        }
        function setGroups(model, list) {
            model.clear();
            for (var i = 0; i < list.length; ++i)
                model.append(list[i]);
        }
        function show(page) {
            packagePage.visible = page === packagePage;
            licensePage.visible = page === licensePage;
        }
        function closeWindows(page) {
            var ws = [page.leaveWindow, page.messageWindow];
            for (var i = 0; i < ws.length; ++i) {
                if (ws[i].visible) {
                    if (ws[i].answered !== undefined)
                        ws[i].answered = true;
                    ws[i].close();
                }
            }
        }
        function groupItem(page, row) {
            var item = null;
            tryVerify(function() { item = findChild(page.groupList, "zapkGroup_" + row); return item !== null; });
            return item;
        }

        function init() {
            for (var name in pages) {
                closeWindows(pages[name]);
                ctrls[name].pageStatus = -1;
                ctrls[name].clear();
                models[name].numFailedGroup = 0;
                setGroups(models[name], []);
            }
            switcher.answers = [];
            show(packagePage);
        }

        function test_entering_data() {
            return [
                { tag: "packages", page: "package", calls: ["enterPage"] },
                { tag: "licences show every device", page: "license", calls: ["enterPage", "setDisplayAllDevices"] }
            ];
        }
        function test_entering(data) {
            pages[data.page].enterPage();
            compare(ctrls[data.page].names(), data.calls);
            compare(pages[data.page].displayedRow, -1);
        }

        // The choice becomes a group and starts at once: one package, or all licence files in one
        // array; an empty choice starts nothing.
        function test_fileChoiceStartsAGroup_data() {
            return [
                { tag: "one package", page: "package", urls: ["file:///tmp/p/app-1.2.tar.gz"], add: "addFilePath",
                  args: ["file:///tmp/p/app-1.2.tar.gz"] },
                { tag: "licence files together", page: "license", urls: ["file:///tmp/l/a.txt", "file:///tmp/l/b.json"],
                  add: "addFilePaths", args: [["file:///tmp/l/a.txt", "file:///tmp/l/b.json"]] },
                { tag: "nothing chosen", page: "license", urls: [], add: "addFilePaths", args: null }
            ];
        }
        function test_fileChoiceStartsAGroup(data) {
            pages[data.page].filesChosen(data.urls);
            var ctrl = ctrls[data.page];
            if (data.args === null) {
                compare(ctrl.names(), []);
                return;
            }
            compare(ctrl.names(), [data.add, "start"]);
            compare(ctrl.callsOf(data.add)[0], data.args);
            compare(ctrl.callsOf("start")[0], [0]);
        }

        function test_dialogSettings_data() {
            return [
                { tag: "package", page: "package", name: "zapkPackageDialog", filter: "gz files (*.gz)", multiple: false },
                { tag: "license", page: "license", name: "zapkLicenseDialog", filter: "License files (*.txt *.json)", multiple: true }
            ];
        }
        function test_dialogSettings(data) {
            var page = pages[data.page];
            compare(page.dialogName, data.name);
            compare(page.fileFilters, [data.filter]);
            compare(page.multipleFiles, data.multiple);
        }

        function test_groupButtonByStatus_data() {
            return [
                { tag: "package opening", page: "package", status: 1, errors: 0, state: "parsing", text: "Opening package file" },
                { tag: "package queued", page: "package", status: 2, errors: 0, state: "waiting", text: "app-1.2.tar.gz", cancel: true },
                { tag: "package updating", page: "package", status: 3, errors: 0, state: "working", text: "  Updating" },
                { tag: "package done", page: "package", status: 4, errors: 0, state: "success", text: "Updated successfully" },
                { tag: "package failed", page: "package", status: 4, errors: 1, state: "warning", text: "app-1.2.tar.gz", failed: true },
                { tag: "license opening", page: "license", status: 1, errors: 0, state: "parsing", text: "Updating license..." },
                { tag: "license updating", page: "license", status: 3, errors: 0, state: "working", text: "Updating license..." },
                { tag: "license done", page: "license", status: 4, errors: 0, state: "success", text: "Updated successfully" },
                { tag: "license unknown failure", page: "license", status: 0, errors: 0, state: "warning", text: "app-1.2.tar.gz" }
            ];
        }
        function test_groupButtonByStatus(data) {
            var page = pages[data.page];
            show(page);
            setGroups(models[data.page], [group("app-1.2.tar.gz", data.status, data.errors, "k")]);
            var item = groupItem(page, 0);
            var button = findChild(item, "fileDetailBtn0");
            verify(button);
            compare(button.displayState, data.state);
            compare(button.shownText, data.text);
            compare(findChild(item, "groupCancelButton").visible, data.cancel === true);
            compare(findChild(item, "groupFailedTable").visible, data.failed === true);
        }

        function test_cancelAndRetry_data() {
            return [
                { tag: "cancel a waiting group", status: 2, errors: 0, call: "cancelWaiting" },
                { tag: "retry a failed group", status: 4, errors: 1, call: "startOnFailed" }
            ];
        }
        function test_cancelAndRetry(data) {
            setGroups(packageGroups, [group("a.tar.gz", 4, 0, "k0"), group("b.tar.gz", data.status, data.errors, "k1")]);
            var item = groupItem(packagePage, 1);
            if (data.call === "cancelWaiting")
                mouseClick(findChild(item, "groupCancelButton"));
            else
                item.button.refreshBtnClicked();
            compare(packageCtrl.callsOf(data.call), [[1]]);
        }

        // A group's device list puts its status key on the table, every device that of the
        // newest group; the licence tab also asks the controller for the devices shown.
        function test_deviceListFollowsTheGroup_data() {
            return [
                { tag: "package group", page: "package", row: 1, key: "k1", calls: [] },
                { tag: "package all", page: "package", row: -1, key: "k0", calls: [] },
                { tag: "licence group", page: "license", row: 1, key: "k1", calls: ["setDisplayDevices"] },
                { tag: "licence all", page: "license", row: -1, key: "k0", calls: ["setDisplayAllDevices"] }
            ];
        }
        function test_deviceListFollowsTheGroup(data) {
            var page = pages[data.page];
            show(page);
            setGroups(models[data.page], [group("a", 4, 0, "k0"), group("b", 3, 0, "k1")]);
            var item = groupItem(page, 1);
            if (data.row >= 0)
                item.showDevices(1);
            else
                page.selectButton.detailBtnClicked();
            compare(page.displayedRow, data.row);
            compare(page.deviceTable.statusKey, data.key);
            compare(findChild(item, "fileDetailBtn1").detailOpened, data.row === 1);
            compare(ctrls[data.page].names(), data.calls);
            if (data.calls.length && data.row >= 0)
                compare(ctrls[data.page].callsOf("setDisplayDevices")[0], [1]);
        }

        // A new group's statuses show at once, before any device list is opened; with no group
        // the page's own key stays.
        function test_newGroupStatusesShow() {
            packagePage.enterPage();
            compare(packagePage.deviceTable.statusKey, "zapkPackage");
            setGroups(packageGroups, [group("a", 3, 0, "zapkPackage_7")]);
            tryCompare(packagePage.deviceTable, "statusKey", "zapkPackage_7");
        }

        function test_selectCount_data() {
            return [
                { tag: "packages count the table", page: "package", count: 2 },
                { tag: "licences count every device", page: "license", count: 3 }
            ];
        }
        function test_selectCount(data) {
            compare(pages[data.page].selectButton.count, data.count);
        }

        function test_failureMessages_data() {
            return [
                { tag: "package start", page: "package", signal: "startFailed", text: "Unknown failure" },
                { tag: "package entry", page: "package", signal: "enterPageFailed", text: "Unknown failure" },
                { tag: "licence start", page: "license", signal: "startFailed",
                  text: "Unable to apply file(s) to device(s). Upload another file and try again" },
                { tag: "licence entry", page: "license", signal: "enterPageFailed", text: "Unknown failure" }
            ];
        }
        function test_failureMessages(data) {
            var page = pages[data.page];
            show(page);
            ctrls[data.page][data.signal](0);
            tryVerify(function() { return page.messageWindow.visible; });
            compare(page.messageWindow.warningText, data.text);
            compare(page.messageWindow.showLeftButton, false);
        }

        function test_leaveGuard_data() {
            return [
                { tag: "idle", status: -1, failed: 0, blocking: false },
                { tag: "finished well", status: 4, failed: 0, blocking: false },
                { tag: "waiting", status: 2, failed: 0, blocking: true, text: "Updating devices.\nAre you sure you want to leave?", left: "Leave" },
                { tag: "working", status: 3, failed: 0, blocking: true, text: "Updating devices.\nAre you sure you want to leave?", left: "Leave" },
                { tag: "a group failed", status: 4, failed: 1, blocking: true, text: "Some devices failed to update.\nAre you sure you want to abort?", left: "Abort" }
            ];
        }
        function test_leaveGuard(data) {
            packageCtrl.pageStatus = data.status;
            packageGroups.numFailedGroup = data.failed;
            compare(packagePage.blocking, data.blocking);
            if (!data.blocking)
                return;
            packagePage.resolveBlocking();
            tryVerify(function() { return packagePage.leaveWindow.visible; });
            compare(packagePage.leaveWindow.warningText, data.text);
            compare(packagePage.leaveWindow.leftBtnText, data.left);
            packagePage.leaveWindow.leftBtnClicked();
            compare(packageCtrl.names(), ["leavePage"]);
            compare(switcher.answers, [true]);
        }

        function test_leaveRefused() {
            packageCtrl.pageStatus = 3;
            packagePage.resolveBlocking();
            tryVerify(function() { return packagePage.leaveWindow.visible; });
            packagePage.leaveWindow.close();
            compare(switcher.answers, [false]);
            compare(packageCtrl.names(), []);
        }
    }
}
