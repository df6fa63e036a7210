import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/Maintenance"

// The camera and recorder firmware pages against a stand-in page controller and page model: the
// groups' buttons by status, the calls behind every button (file choice for one group or all,
// start, cancel, retry, device lists), the messages of failures, the leave guard by page status
// and failed groups, and the recorder page's own panel.
Item {
    id: top
    width: 1032
    height: 668

    GlobalProperty {
        id: _GProperty_
    }

    FakeFirmwareCtrl { id: ctrl }
    FakeSwitcher { id: switcher }

    QtObject {
        id: fakeMainPage
        property bool searchWhenEnteringPage: false
    }
    QtObject {
        id: fakeHost
        property real xScale: 1
        property real yScale: 1
        property bool bigScreen: false
        property var mainPage: fakeMainPage
    }

    ListModel {
        id: devices
        ListElement { ipRole: "10.0.0.1"; modelRole: "QD8182"; macRole: "02-A5-7F-00-00-01"; firmwareRole: "0104a"; statusRole: -1 }
        ListElement { ipRole: "10.0.0.2"; modelRole: "QB9365"; macRole: "02-A5-7F-00-00-02"; firmwareRole: "0104a"; statusRole: -1 }
    }
    ListModel {
        id: failedDevices
        ListElement { ipRole: "10.0.0.2"; statusRole: 404 }
    }
    // The controller's page model: one row per group, numFailedGroup beside.
    ListModel {
        id: groups
        property int numFailedGroup: 0
    }

    Firmware {
        id: cameraPage
        width: top.width; height: top.height
        pageCtrl: ctrl; pageModel: groups; devicesModel: devices
        hostWindow: fakeHost
        ownerSwitcher: switcher
        visible: true
    }
    FirmwareNVR {
        id: recorderPage
        width: top.width; height: top.height
        pageCtrl: ctrl; pageModel: groups; devicesModel: devices
        hostWindow: fakeHost
        ownerSwitcher: switcher
        visible: false
    }

    // The desktop's file dialog is not there under the test runner: the pages' requests for it
    // are what the tests see.
    SignalSpy {
        id: dialogSpy
        signalName: "fileDialogRequested"
    }

    TestCase {
        name: "FirmwarePages"
        when: windowShown

        readonly property var pages: ({ camera: cameraPage, recorder: recorderPage })

        function group(model, file, status, errors) {
            return { modelRole: model, filenameRole: file, firmwarePathRole: file === "" ? "" : "/tmp/" + file,
                     statusRole: status, countRole: 2, errorCountRole: errors, progressRole: 0,
                     statusIndexRole: "firmware", groupNameRole: "2", failedDevicesModelRole: failedDevices };
        }
        function setGroups(list) {
            groups.clear();
            for (var i = 0; i < list.length; ++i)
                groups.append(list[i]);
        }
        function show(page) {
            cameraPage.visible = page === cameraPage;
            recorderPage.visible = page === recorderPage;
        }
        function closeWindows(page) {
            var names = [page.leaveWindowName, page.messageWindowName];
            for (var i = 0; i < names.length; ++i) {
                var w = findChild(page, names[i]);
                if (w && w.visible) {
                    if (w.answered !== undefined)
                        w.answered = true;
                    w.close();
                }
            }
        }
        // The group's delegate in the page's list, once the list has made it.
        function groupItem(page, row) {
            var prefix = page === cameraPage ? "firmwareGroup_" : "nvrGroup_";
            var item = null;
            tryVerify(function() { item = findChild(page.groupList, prefix + row); return item !== null; });
            return item;
        }

        function init() {
            closeWindows(cameraPage);
            closeWindows(recorderPage);
            ctrl.pageStatus = -1;
            ctrl.isApplyButtonAvailable = false;
            groups.numFailedGroup = 0;
            setGroups([]);
            ctrl.clear();
            switcher.answers = [];
            fakeMainPage.searchWhenEnteringPage = false;
            dialogSpy.clear();
            show(cameraPage);
        }

        function test_enteringKeepsOrDropsFinishedGroups_data() {
            return [
                { tag: "camera page drops them", page: "camera", keep: true },
                { tag: "recorder page keeps them", page: "recorder", keep: false }
            ];
        }
        function test_enteringKeepsOrDropsFinishedGroups(data) {
            var page = pages[data.page];
            page.enterPage();
            compare(ctrl.names(), ["enterPage", "setNeedRemoveAfter", "setDisplayAllDevices"]);
            compare(ctrl.callsOf("setNeedRemoveAfter")[0], [data.keep]);
        }

        function test_groupButtonByStatus_data() {
            return [
                { tag: "no file", status: -1, file: "", errors: 0, state: "prepare", text: "QD8182", cancel: false, failed: false },
                { tag: "file chosen", status: 1, file: "QD8182-0205a.pkg", errors: 0, state: "prepare", text: "QD8182\nQD8182-0205a.pkg", cancel: true, failed: false },
                { tag: "queued", status: 2, file: "QD8182-0205a.pkg", errors: 0, state: "waiting", text: "QD8182", cancel: true, failed: false },
                { tag: "running", status: 3, file: "QD8182-0205a.pkg", errors: 0, state: "working", text: "QD8182", cancel: false, failed: false },
                { tag: "finished well", status: 4, file: "QD8182-0205a.pkg", errors: 0, state: "success", text: "Updated successfully", cancel: false, failed: false },
                { tag: "finished with failures", status: 4, file: "QD8182-0205a.pkg", errors: 1, state: "warning", text: "QD8182", cancel: false, failed: true }
            ];
        }
        function test_groupButtonByStatus(data) {
            setGroups([group("QD8182", data.file, data.status, data.errors)]);
            var item = groupItem(cameraPage, 0);
            var button = findChild(item, "fileDetailBtn0");
            verify(button);
            compare(button.displayState, data.state);
            compare(button.shownText, data.text);
            compare(findChild(item, "groupCancelButton").visible, data.cancel);
            compare(findChild(item, "groupFailedTable").visible, data.failed);
            if (data.failed)
                compare(findChild(item, "groupFailedTable").lineCount, 1);
        }

        function test_longFileNameIsCutInItsMiddle() {
            var name = "QD8182-QXOR-0205a-with-a-very-long-name-for-the-button.pkg";
            setGroups([group("QD8182", name, 1, 0)]);
            var text = findChild(groupItem(cameraPage, 0), "fileDetailBtn0").shownText;
            var lines = text.split("\n");
            compare(lines[0], "QD8182");
            verify(lines[1].length < name.length && lines[1].indexOf("...") > 0, lines[1]);
            verify(lines[1].indexOf("QD8182") === 0 && /\.pkg$/.test(lines[1]), lines[1]);
        }

        // A group that finished well leaves with its slide; the names of the rows that stay
        // follow their new rows, so the remote control finds them where they are.
        function test_removedGroupLeavesAndTheRestMoveUp() {
            setGroups([group("QB9365", "a.pkg", 4, 0), group("QD8182", "b.pkg", 3, 0)]);
            groupItem(cameraPage, 1);
            groups.remove(0);
            tryVerify(function() {
                var first = findChild(cameraPage.groupList, "firmwareGroup_0");
                return first !== null && first.modelName === "QD8182";
            });
            tryVerify(function() { return findChild(cameraPage.groupList, "firmwareGroup_1") === null; }, 3000);
            compare(findChild(cameraPage.groupList, "fileDetailBtn0").displayState, "working");
        }

        function test_fileForAllGroupsOrOne_data() {
            return [
                { tag: "all groups", row: -1, rows: [0, 1, 2] },
                { tag: "second group", row: 1, rows: [1] }
            ];
        }
        function test_fileForAllGroupsOrOne(data) {
            setGroups([group("QB9365", "", -1, 0), group("QD8182", "", -1, 0), group("QF8360", "", 4, 0)]);
            cameraPage.fileChosen(data.row, "file:///tmp/fw/QD8182-0205a.pkg");
            var paths = ctrl.callsOf("setFirmwarePath");
            compare(paths.length, data.rows.length);
            for (var i = 0; i < paths.length; ++i)
                compare(paths[i], [data.rows[i], "file:///tmp/fw/QD8182-0205a.pkg"]);
        }

        function test_groupButtonsCallTheController_data() {
            return [
                { tag: "detail shows the group", status: 1, errors: 0, click: "detailButton", call: "setDisplayDevices", args: [1] },
                { tag: "cancel a chosen file", status: 1, errors: 0, click: "groupCancelButton", call: "cancelWaiting", args: [1] },
                { tag: "cancel a queued group", status: 2, errors: 0, click: "groupCancelButton", call: "cancelWaiting", args: [1] },
                { tag: "retry the failed devices", status: 4, errors: 1, click: "retryButton", call: "startOnFailed", args: [1] }
            ];
        }
        function test_groupButtonsCallTheController(data) {
            setGroups([group("QB9365", "a.pkg", 1, 0), group("QD8182", "b.pkg", data.status, data.errors)]);
            var item = groupItem(cameraPage, 1);
            var target = findChild(item, data.click);
            verify(target && target.visible, data.click);
            mouseClick(target);
            compare(ctrl.callsOf(data.call), [data.args]);
            if (data.call === "setDisplayDevices") {
                compare(cameraPage.displayedRow, 1);
                verify(findChild(item, "fileDetailBtn1").detailOpened);
                verify(!findChild(cameraPage, "selectAllFirmwareBtn").detailOpened);
            }
        }

        function test_topItemShowsAllDevicesAndOpensTheDialogForAll() {
            setGroups([group("QB9365", "", -1, 0), group("QD8182", "", -1, 0)]);
            var all = findChild(cameraPage, "selectAllFirmwareBtn");
            compare(all.displayState, "prepare");
            compare(all.shownText, "Select firmware to update");
            compare(all.count, 2);
            mouseClick(findChild(all, "detailButton"));
            compare(ctrl.names(), ["setDisplayAllDevices"]);
            dialogSpy.target = cameraPage;
            mouseClick(findChild(all, "itemButton"));
            compare(dialogSpy.count, 1);
            compare(dialogSpy.signalArguments[0][0], -1);
            compare(cameraPage.fileFilters, ["Firmware files (*.pkg)"]);
            mouseClick(findChild(groupItem(cameraPage, 1), "itemButton"));
            compare(dialogSpy.count, 2);
            compare(dialogSpy.signalArguments[1][0], 1);
            // The dialog's answer goes to the group it was opened for.
            compare(cameraPage.dialogRow, 1);
        }

        function test_applyStartsEveryGroupWithAFile() {
            setGroups([group("QB9365", "a.pkg", 1, 0)]);
            var apply = findChild(cameraPage, "btnStartUpdate");
            verify(!apply.enabled);
            ctrl.isApplyButtonAvailable = true;
            verify(apply.enabled);
            mouseClick(apply);
            compare(ctrl.names(), ["setScript", "startAll"]);
            compare(ctrl.callsOf("setScript")[0], [false]);
        }

        function test_failureMessages_data() {
            return [
                { tag: "file invalid", signal: "openFileFailed", code: 4, text: "File invalid" },
                { tag: "group working", signal: "openFileFailed", code: 2, text: "Unknown failure: 2" },
                { tag: "bad group", signal: "openFileFailed", code: 1, text: "Unknown failure: 1" },
                { tag: "start failed", signal: "startFailed", code: 0, text: "Unknown failure" },
                { tag: "enter failed", signal: "enterPageFailed", code: 0, text: "Unknown failure" }
            ];
        }
        function test_failureMessages(data) {
            ctrl[data.signal](data.code);
            var w = findChild(cameraPage, "firmwareMessageWindow");
            verify(w.visible);
            compare(w.warningText, data.text);
            verify(!w.showLeftButton);
        }

        function test_leaveGuard_data() {
            return [
                { tag: "idle", page: "camera", status: -1, failedGroups: 0, blocking: false },
                { tag: "files chosen", page: "camera", status: 1, failedGroups: 0, blocking: false },
                { tag: "waiting", page: "camera", status: 2, failedGroups: 0, blocking: true, text: "Updating devices.\nAre you sure you want to leave?", button: "Leave" },
                { tag: "working", page: "camera", status: 3, failedGroups: 0, blocking: true, text: "Updating devices.\nAre you sure you want to leave?", button: "Leave" },
                { tag: "finished well", page: "camera", status: 4, failedGroups: 0, blocking: false },
                { tag: "finished with failed groups", page: "camera", status: 4, failedGroups: 1, blocking: true, text: "Failed to update some devices.\nAre you sure you want to abort?", button: "Abort" },
                { tag: "failed groups of an earlier run while working", page: "camera", status: 3, failedGroups: 1, blocking: true, text: "Updating devices.\nAre you sure you want to leave?", button: "Leave" },
                { tag: "recorder working", page: "recorder", status: 3, failedGroups: 0, blocking: true, text: "Updating devices.\nAre you sure you want to leave?", button: "Leave" },
                { tag: "recorder failed groups", page: "recorder", status: 4, failedGroups: 2, blocking: true, text: "Failed to update some devices.\nAre you sure you want to abort?", button: "Abort" }
            ];
        }
        function test_leaveGuard(data) {
            var page = pages[data.page];
            show(page);
            ctrl.pageStatus = data.status;
            groups.numFailedGroup = data.failedGroups;
            compare(page.isBlocking(false), data.blocking);
            if (!data.blocking)
                return;
            // Staying: the window closes without a leave.
            verify(page.checkBlocking(false));
            var w = findChild(page, page.leaveWindowName);
            verify(w.visible);
            compare(w.warningText, data.text);
            compare(w.leftBtnText, data.button);
            w.rightButton.apply();
            compare(switcher.answers, [false]);
            compare(ctrl.callsOf("leavePage").length, 0);
            // Leaving: the controller lets the run go, then the switch goes on.
            verify(page.checkBlocking(false));
            w.leftButton.apply();
            compare(switcher.answers, [false, true]);
            compare(ctrl.names(), ["leavePage"]);
        }

        function test_completedRunMakesTheMainPageSearchAgain() {
            ctrl.completed();
            verify(fakeMainPage.searchWhenEnteringPage);
        }

        // --- the recorder page ---

        function test_recorderPanelByFile_data() {
            return [
                { tag: "no file", status: -1, file: "", text: "Select firmware to update", actived: true, opens: true, buttons: false, applyEnabled: false, selectEnabled: false },
                { tag: "file chosen", status: 1, file: "NR9782-0300a.img", text: "NR9782-0300a.img", actived: false, opens: false, buttons: true, applyEnabled: true, selectEnabled: true },
                { tag: "queued", status: 2, file: "NR9782-0300a.img", text: "NR9782-0300a.img", actived: false, opens: false, buttons: true, applyEnabled: false, selectEnabled: false },
                { tag: "running", status: 3, file: "NR9782-0300a.img", text: "NR9782-0300a.img", actived: false, opens: false, buttons: true, applyEnabled: false, selectEnabled: false },
                { tag: "finished", status: 4, file: "NR9782-0300a.img", text: "Updated successfully", actived: false, opens: false, buttons: true, applyEnabled: false, selectEnabled: true }
            ];
        }
        function test_recorderPanelByFile(data) {
            show(recorderPage);
            setGroups([group("NR9782", data.file, data.status, 0)]);
            var panel = groupItem(recorderPage, 0);
            compare(findChild(panel, "groupModelText").text, "NR9782");
            compare(findChild(panel, "groupModelText").font.pixelSize, 22);
            compare(panel.width, 351);
            var button = findChild(panel, "fileDetailBtn0");
            compare(button.shownText, data.text);
            compare(findChild(button, "cancelButton").visible, false);
            var apply = findChild(panel, "NVRbtnStartUpdate");
            var another = findChild(panel, "NVRbtnSelectAnotherFile");
            compare(apply.visible, data.buttons);
            compare(another.visible, data.buttons);
            compare(apply.enabled, data.applyEnabled);
            compare(another.enabled, data.selectEnabled);
            if (data.status === -1 || data.status === 1) {
                compare(findChild(button, "itemButton").actived, data.actived);
                dialogSpy.target = recorderPage;
                mouseClick(findChild(button, "itemButton"));
                compare(dialogSpy.count, data.opens ? 1 : 0);
                compare(recorderPage.fileFilters, ["Firmware files (*.img)"]);
            }
        }

        function test_recorderGroupsStartOnTheirOwn() {
            show(recorderPage);
            setGroups([group("NR9782", "a.img", 4, 0), group("ND9541", "b.img", 1, 0)]);
            var second = groupItem(recorderPage, 1);
            // Every group's button carries the same name.
            verify(findChild(second, "fileDetailBtn0"));
            mouseClick(findChild(second, "NVRbtnStartUpdate"));
            compare(ctrl.names(), ["setScript", "start"]);
            compare(ctrl.callsOf("start")[0], [1]);
            ctrl.clear();
            dialogSpy.target = recorderPage;
            mouseClick(findChild(groupItem(recorderPage, 0), "NVRbtnSelectAnotherFile"));
            compare(dialogSpy.count, 1);
            compare(dialogSpy.signalArguments[0][0], 0);
            mouseClick(findChild(findChild(second, "fileDetailBtn0"), "detailButton"));
            compare(ctrl.callsOf("setDisplayDevices"), [[1]]);
        }

        function test_recorderPageCoversTheTabBar_data() {
            return [
                { tag: "normal screen", big: false, height: 70 },
                { tag: "big screen", big: true, height: 140 }
            ];
        }
        function test_recorderPageCoversTheTabBar(data) {
            show(recorderPage);
            fakeHost.bigScreen = data.big;
            var cover = findChild(recorderPage, "tabBarCover");
            compare(cover.height, data.height);
            compare(cover.y, -data.height);
            fakeHost.bigScreen = false;
        }
    }
}
