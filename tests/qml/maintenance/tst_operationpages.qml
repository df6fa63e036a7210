import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/Maintenance"
import "qrc:/src/qml/Export"

// The restart, restore and export pages against stand-in page controllers: the leave guard by
// page status and its question, the restore exception mask, the failed and success states and
// their retry, and the messages of failures.
Item {
    id: top
    width: 1032
    height: 668

    GlobalProperty {
        id: _GProperty_
    }

    FakePageCtrl { id: rebootCtrl; statusKey: "restart" }
    FakePageCtrl { id: restoreCtrl; statusKey: "restore" }
    FakePageCtrl { id: devicesCtrl; statusKey: "exportDevices" }
    FakePageCtrl { id: debugCtrl; statusKey: "exportDebug" }
    FakeSwitcher { id: switcher }

    ListModel {
        id: devices
        property int count: 2
        ListElement { ipRole: "10.0.0.1"; modelRole: "QD8182"; macRole: "02-A5-7F-00-00-01"; statusRole: -1 }
        ListElement { ipRole: "10.0.0.2"; modelRole: "QD8182"; macRole: "02-A5-7F-00-00-02"; statusRole: -1 }
    }
    ListModel {
        id: failed
        ListElement { ipRole: "10.0.0.2"; statusRole: 806 }
    }

    RestartPage {
        id: restartPage
        width: top.width; height: top.height
        pageCtrl: rebootCtrl; devicesModel: devices; failedModel: failed
        ownerSwitcher: switcher
    }
    RestorePage {
        id: restorePage
        width: top.width; height: top.height
        pageCtrl: restoreCtrl; devicesModel: devices; failedModel: failed
        ownerSwitcher: switcher
    }
    ExportDevicesPage {
        id: exportDevicesPage
        width: top.width; height: top.height
        pageCtrl: devicesCtrl; devicesModel: devices; failedModel: failed
        ownerSwitcher: switcher
    }
    ExportDebugPage {
        id: exportDebugPage
        width: top.width; height: top.height
        pageCtrl: debugCtrl; devicesModel: devices; failedModel: failed
        ownerSwitcher: switcher
    }

    TestCase {
        name: "OperationPages"
        when: windowShown

        readonly property var pages: ({ restart: restartPage, restore: restorePage,
                                        exportDevices: exportDevicesPage, exportDebug: exportDebugPage })

        function closeAll(page) {
            var names = [page.leaveWindowName, page.messageWindowName, "confirmRestartWindow", "confirmRestoreWindow"];
            for (var i = 0; i < names.length; ++i) {
                var w = findChild(page, names[i]);
                if (w && w.visible) {
                    if (w.answered !== undefined)
                        w.answered = true;
                    w.close();
                }
            }
        }
        function init() {
            for (var key in pages) {
                var p = pages[key];
                closeAll(p);
                p.visible = false;
                p.pageCtrl.pageStatus = -1;
                p.pageCtrl.errorCount = 0;
                p.pageState = "";
                p.pageCtrl.clear();
            }
            switcher.answers = [];
        }
        function show(key) {
            var p = pages[key];
            p.visible = true;
            p.enterPage();
            return p;
        }

        function test_leaveGuardByPageStatus_data() {
            var rows = [];
            var cases = [
                { status: -1, errors: 0, blocking: false },
                { status: 1, errors: 0, blocking: false },
                { status: 2, errors: 0, blocking: true, question: "leaving" },
                { status: 3, errors: 0, blocking: true, question: "leaving" },
                { status: 4, errors: 0, blocking: false },
                { status: 4, errors: 2, blocking: true, question: "abort" }
            ];
            var texts = {
                restart: { leaving: "Restarting devices.\nAre you sure you want to leave?",
                           abort: "Some devices failed to restart.\nAre you sure you want to abort?" },
                restore: { leaving: "Restoring devices.\nAre you sure you want to leave?",
                           abort: "Some devices failed to restore.\nAre you sure you want to abort?" },
                exportDevices: { leaving: "Exporting device list.\nAre you sure you want to leave?",
                                 abort: "Failed to export device list.\nAre you sure you want to abort?" },
                exportDebug: { leaving: "Exporting device settings.\nAre you sure you want to leave?",
                               abort: "Failed to export some device settings.\nAre you sure you want to abort?" }
            };
            for (var key in texts) {
                for (var i = 0; i < cases.length; ++i) {
                    var c = cases[i];
                    rows.push({ tag: key + " status " + c.status + " errors " + c.errors, page: key,
                                status: c.status, errors: c.errors, blocking: c.blocking,
                                text: c.question ? texts[key][c.question] : "",
                                left: c.question === "abort" ? "Abort" : "Leave" });
                }
            }
            return rows;
        }
        function test_leaveGuardByPageStatus(data) {
            var page = show(data.page);
            page.pageCtrl.pageStatus = data.status;
            page.pageCtrl.errorCount = data.errors;
            compare(page.checkBlocking(false), data.blocking);
            var w = findChild(page, page.leaveWindowName);
            compare(w.visible, data.blocking);
            if (data.blocking) {
                compare(w.warningText, data.text);
                compare(w.leftButton.btnText, data.left);
            }
        }

        function test_leaveAnswer_data() {
            return [
                { tag: "restart left", page: "restart", left: true },
                { tag: "restart right", page: "restart", left: false },
                { tag: "export left", page: "exportDevices", left: true },
                { tag: "export right", page: "exportDevices", left: false }
            ];
        }
        function test_leaveAnswer(data) {
            var page = show(data.page);
            page.pageCtrl.pageStatus = 4;
            page.pageCtrl.errorCount = 1;
            page.pageCtrl.completed();
            compare(page.pageState, "Failed");
            page.pageCtrl.clear();
            verify(page.checkBlocking(false));
            var w = findChild(page, page.leaveWindowName);
            if (data.left)
                w.leftButton.apply();
            else
                w.rightButton.apply();
            verify(!w.visible);
            compare(switcher.answers, [data.left]);
            compare(page.pageCtrl.callsOf("leavePage").length, data.left ? 1 : 0);
            // Staying keeps the failed run; leaving ends it.
            compare(page.pageState, data.left ? "" : "Failed");
        }

        function test_failedRunShowsFailedTableAndRetries_data() {
            return [
                { tag: "restart", page: "restart" },
                { tag: "restore", page: "restore" },
                { tag: "debug export", page: "exportDebug" }
            ];
        }
        function test_failedRunShowsFailedTableAndRetries(data) {
            var page = show(data.page);
            var table = page.panel.failedTable;
            page.pageCtrl.pageStatus = 3;
            verify(!table.visible);
            page.pageCtrl.pageStatus = 4;
            page.pageCtrl.errorCount = 1;
            page.pageCtrl.completed();
            compare(page.pageState, "Failed");
            verify(table.visible);
            compare(table.lineCount, 1);
            findChild(page.panel.button, "retryButton").clicked();
            compare(page.pageCtrl.callsOf("startOnFailed").length, 1);
            compare(page.pageState, "");
            verify(!table.visible);
        }

        function test_enteringResetsTheState() {
            var page = show("restart");
            rebootCtrl.pageStatus = 4;
            rebootCtrl.errorCount = 2;
            rebootCtrl.completed();
            compare(page.pageState, "Failed");
            page.enterPage();
            compare(page.pageState, "");
            compare(rebootCtrl.callsOf("enterPage").length, 2);
        }

        function test_restartAsksBeforeStarting() {
            var page = show("restart");
            page.panel.button.itemBtnClicked();
            var confirm = findChild(page, "confirmRestartWindow");
            verify(confirm.visible);
            compare(confirm.warningText, "Selected cameras will be restarted. Are you sure you want to restart?");
            compare(rebootCtrl.callsOf("start").length, 0);
            confirm.leftButton.apply();
            compare(rebootCtrl.callsOf("start").length, 1);
        }

        function test_restoreMask_data() {
            return [
                { tag: "none", checked: [], mask: 0 },
                { tag: "network and custom language", checked: ["networkCheckBox", "customLanguageCheckBox"], mask: 5 },
                { tag: "zapk", checked: ["zapkCheckBox"], mask: 8 },
                { tag: "focus and lens", checked: ["focusPositionCheckBox", "lensConfigurationCheckBox"], mask: 48 },
                { tag: "all", checked: ["networkCheckBox", "dstCheckBox", "customLanguageCheckBox", "zapkCheckBox",
                                        "focusPositionCheckBox", "lensConfigurationCheckBox"], mask: 63 }
            ];
        }
        function test_restoreMask(data) {
            var page = show("restore");
            var names = ["networkCheckBox", "dstCheckBox", "customLanguageCheckBox", "zapkCheckBox",
                         "focusPositionCheckBox", "lensConfigurationCheckBox"];
            for (var i = 0; i < names.length; ++i)
                findChild(page, names[i]).checked = data.checked.indexOf(names[i]) >= 0;
            page.panel.button.itemBtnClicked();
            var confirm = findChild(page, "confirmRestoreWindow");
            verify(confirm.visible);
            confirm.leftButton.apply();
            compare(restoreCtrl.names(), ["enterPage", "setExcludeGroup", "start"]);
            compare(restoreCtrl.callsOf("setExcludeGroup"), [[data.mask]]);
        }

        function test_exportSuccessOffersTheFolder_data() {
            return [
                { tag: "device list", page: "exportDevices" },
                { tag: "debug", page: "exportDebug" }
            ];
        }
        function test_exportSuccessOffersTheFolder(data) {
            var page = show(data.page);
            var folder = findChild(page, "openFolderButton");
            verify(!folder.visible);
            page.pageCtrl.pageStatus = 4;
            page.pageCtrl.errorCount = 0;
            page.pageCtrl.completed();
            compare(page.pageState, "Success");
            verify(folder.visible);
            verify(!page.isBlocking(false));
            page.enterPage();
            verify(!folder.visible);
        }

        function test_failureMessages_data() {
            return [
                { tag: "restart start", page: "restart", signal: "startFailed", text: "Unknown failure" },
                { tag: "restore enter", page: "restore", signal: "enterPageFailed", text: "Unknown failure" },
                { tag: "list start", page: "exportDevices", signal: "startFailed", text: "Failed to export" },
                { tag: "list enter", page: "exportDevices", signal: "enterPageFailed", text: "Unknown failure" },
                { tag: "list write", page: "exportDevices", signal: "writeFileFailed", text: "Failed to write file to disk" },
                { tag: "debug start", page: "exportDebug", signal: "startFailed", text: "Unknown failure" },
                { tag: "debug write", page: "exportDebug", signal: "writeFileFailed", text: "Failed to export" }
            ];
        }
        function test_failureMessages(data) {
            var page = show(data.page);
            if (data.signal === "writeFileFailed")
                page.pageCtrl.writeFileFailed();
            else
                page.pageCtrl[data.signal](0);
            var w = findChild(page, page.messageWindowName);
            verify(w.visible);
            compare(w.warningText, data.text);
            verify(!w.leftButton.visible);
        }

        function test_debugExportSetsTheFolderBeforeStarting() {
            var page = show("exportDebug");
            page.exportTo("file:///tmp/out");
            compare(debugCtrl.names(), ["enterPage", "setExportRootDirToUrl", "start"]);
            compare(debugCtrl.callsOf("setExportRootDirToUrl"), [["file:///tmp/out"]]);
        }
    }
}
