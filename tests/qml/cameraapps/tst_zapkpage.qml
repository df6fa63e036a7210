import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/ZAPK"

// The application page against a stand-in controller and models: the module list through a
// search, the calls of a module change and the questions a running or failed run asks first,
// the actions' availability, the set-up window each module opens, the uninstall, the leave
// guard, and the set-up window's switch with the Trend Micro agreement and its close questions.
Item {
    id: top
    width: 1112
    height: 668

    GlobalProperty {
        id: _GProperty_
    }

    FakeZapkPageCtrl { id: ctrl }
    FakeSwitcher { id: switcher }

    QtObject {
        id: fakeHost
        property real xScale: 1
        property real yScale: 1
        property bool bigScreen: false
    }

    ListModel {
        id: modules
        property int count: 0
        onRowsInserted: count = rowCount()
        onRowsRemoved: count = rowCount()
        onModelReset: count = rowCount()
    }
    ListModel {
        id: devices
        property int numSelected: 0
        ListElement { ipRole: "10.0.0.1"; modelRole: "QD8182"; macRole: "02-A5-7F-00-00-01"; zapkVerRole: "1.0"; zapkStatusRole: "Running"; statusRole: -1; selectedRole: false }
        ListElement { ipRole: "10.0.0.2"; modelRole: "QB9365"; macRole: "02-A5-7F-00-00-02"; zapkVerRole: "1.0"; zapkStatusRole: "Stopped"; statusRole: -1; selectedRole: false }
    }

    ZAPK {
        id: page
        width: top.width; height: top.height
        ctrl: ctrl; buttonModel: modules; devicesModel: devices; devicesModelCtrl: null
        hostWindow: fakeHost
        ownerSwitcher: switcher
    }

    TestCase {
        name: "ZapkPage"
        when: windowShown

        function setModules(names) {
            modules.clear();
            for (var i = 0; i < names.length; ++i)
                modules.append({ modelname: names[i], devicecount: 2 });
        }
        // Entered, searched and found the modules; the first one is current.
        function enterWith(names) {
            page.enterPage();
            setModules(names);
            ctrl.searchEnd();
        }
        function closeWindows() {
            var ws = [page.questionWindow, page.uninstallWindow, page.leaveWindow, page.setupWindow,
                      page.setupWindow.closeQuestion, page.setupWindow.agreementWindow];
            for (var i = 0; i < ws.length; ++i) {
                if (ws[i].visible) {
                    if (ws[i].answered !== undefined)
                        ws[i].answered = true;
                    ws[i].close();
                }
            }
        }

        function init() {
            closeWindows();
            ctrl.pageStatus = -1;
            ctrl.errorCount = 0;
            ctrl.working = false;
            ctrl.onoff = false;
            devices.numSelected = 0;
            page.setupWindow.agreementAccepted = false;
            page.setupWindow.reset();
            setModules([]);
            ctrl.clear();
            switcher.answers = [];
        }

        function test_searchFindsModules_data() {
            return [
                { tag: "modules found", modules: ["Zovu Rorevazu ZAV", "Cloud"], title: "2 Packages", row: 0,
                  calls: ["enterPage", "itemClicked"] },
                { tag: "trend micro first asks its signature", modules: ["Trend Micro IoT Security"], title: "1 Packages",
                  row: 0, calls: ["enterPage", "itemClicked", "getSignature"] },
                { tag: "nothing found", modules: [], title: "0 Packages", row: -1, calls: ["enterPage"] }
            ];
        }
        function test_searchFindsModules(data) {
            page.enterPage();
            var title = findChild(page, "ZAPKPackagesTitle");
            compare(title.text, "Searching...");
            compare(page.currentRow, -1);
            setModules(data.modules);
            ctrl.searchEnd();
            compare(title.text, data.title);
            compare(page.currentRow, data.row);
            compare(ctrl.names(), data.calls);
            if (data.row === 0) {
                compare(ctrl.callsOf("itemClicked")[0], [0]);
                compare(findChild(page, "selectedModuleText").text, data.modules[0]);
            }
            if (data.calls.indexOf("getSignature") >= 0)
                compare(ctrl.callsOf("getSignature")[0], [false]);
        }

        // A refresh that finds Trend Micro first again asks for the signature again.
        function test_refreshAsksTheSignatureAgain() {
            enterWith(["Trend Micro IoT Security", "VCA"]);
            ctrl.clear();
            page.refresh();
            compare(findChild(page, "ZAPKPackagesTitle").text, "Searching...");
            ctrl.searchEnd();
            compare(ctrl.names(), ["refresh", "itemClicked", "getSignature"]);
        }

        function test_moduleButtonsShowNameAndCount() {
            enterWith(["VCA", "Cloud"]);
            var item = null;
            tryVerify(function() { item = findChild(page.moduleList, "packageItem1"); return item !== null; });
            compare(item.moduleName, "Cloud");
            compare(item.deviceCount, 2);
            compare(item.current, false);
            compare(findChild(page.moduleList, "packageItem0").current, true);
        }

        // Going to a module: straight away, or after a question while a run works or failed.
        function test_moduleChange_data() {
            return [
                { tag: "idle", status: -1, errors: 0, question: "",
                  calls: ["itemClicked", "setCurrentPackage", "clearCurrentModuleStatus", "clearPage"] },
                { tag: "working aborts first", status: 3, errors: 0,
                  question: "Uninstalling package from devices. Are you sure you want to leave?",
                  calls: ["abortWorkingCtrl", "itemClicked", "setCurrentPackage", "clearCurrentModuleStatus", "clearPage"] },
                { tag: "failed run", status: 4, errors: 1,
                  question: "Failed to uninstall package from some devices. Are you sure you want to abort?",
                  calls: ["itemClicked", "setCurrentPackage", "clearCurrentModuleStatus", "clearPage"] }
            ];
        }
        function test_moduleChange(data) {
            enterWith(["VCA", "Trend Micro IoT Security"]);
            ctrl.pageStatus = data.status;
            ctrl.errorCount = data.errors;
            ctrl.clear();
            page.moduleClicked(1);
            if (data.question !== "") {
                compare(ctrl.names(), []);
                tryVerify(function() { return page.questionWindow.visible; });
                compare(page.questionWindow.warningText, data.question);
                compare(page.questionWindow.leftBtnText, "Abort");
                page.questionWindow.leftBtnClicked();
            }
            // The Trend Micro module, once current, asks for its signature too.
            var expected = data.calls.slice();
            expected.splice(expected.indexOf("itemClicked") + 1, 0, "getSignature");
            compare(ctrl.names(), expected);
            compare(ctrl.callsOf("setCurrentPackage")[0], ["Trend Micro IoT Security"]);
            compare(page.currentRow, 1);
        }

        function test_actionsAvailable_data() {
            return [
                { tag: "selected", module: "VCA", selected: 1, status: -1, setup: true, uninstall: true },
                { tag: "cloud is never set up", module: "Cloud", selected: 2, status: -1, setup: false, uninstall: true },
                { tag: "nothing selected", module: "VCA", selected: 0, status: -1, setup: false, uninstall: false },
                { tag: "waiting", module: "VCA", selected: 1, status: 2, setup: false, uninstall: false },
                { tag: "working", module: "VCA", selected: 1, status: 3, setup: false, uninstall: false },
                { tag: "finished", module: "VCA", selected: 1, status: 4, setup: true, uninstall: true }
            ];
        }
        function test_actionsAvailable(data) {
            enterWith([data.module]);
            devices.numSelected = data.selected;
            ctrl.pageStatus = data.status;
            compare(findChild(page, "SetupBarSetupButton").enabled, data.setup);
            compare(findChild(page, "SetupBarRemoveButton").enabled, data.uninstall);
        }

        function test_setupOpensTheModulesWindow_data() {
            return [
                { tag: "stereo tracker", module: "Rureru Revevaz", mode: "stereo", name: "stereoTrackerWindow" },
                { tag: "VCA", module: "VCA", mode: "stereo", name: "stereoTrackerWindow" },
                { tag: "ANPR", module: "ANPR", mode: "stereo", name: "stereoTrackerWindow" },
                { tag: "ZAV", module: "Zovu Rorevazu ZAV", mode: "stereo", name: "stereoTrackerWindow" },
                { tag: "trend micro", module: "Trend Micro IoT Security", mode: "trend", name: "setupWindow" },
                { tag: "generic", module: "Parking Counter", mode: "general", name: "setupWindow" }
            ];
        }
        function test_setupOpensTheModulesWindow(data) {
            enterWith([data.module]);
            devices.numSelected = 1;
            ctrl.clear();
            page.setupClicked();
            compare(ctrl.names(), ["setup"]);
            compare(page.setupWindow.mode, data.mode);
            compare(page.setupWindow.objectName, data.name);
            compare(page.setupWindow.title, data.module);
            tryVerify(function() { return page.setupWindow.visible; });
            compare(findChild(page.setupWindow.contentItem, "agreementLink").visible, data.mode === "trend");
        }

        function test_setupAfterFailedUninstallAsksFirst() {
            enterWith(["VCA"]);
            devices.numSelected = 1;
            ctrl.pageStatus = 4;
            ctrl.errorCount = 2;
            page.showUninstallStatus = true;
            ctrl.clear();
            page.setupClicked();
            compare(ctrl.names(), []);
            tryVerify(function() { return page.questionWindow.visible; });
            compare(page.questionWindow.warningText, "Failed to uninstall package from some devices. Are you sure you want to abort?");
            page.questionWindow.leftBtnClicked();
            compare(ctrl.names(), ["setup"]);
            compare(page.showUninstallStatus, false);
        }

        function test_closingTheSetupWindowClearsThePage() {
            enterWith(["VCA"]);
            devices.numSelected = 1;
            page.setupClicked();
            ctrl.clear();
            page.setupWindow.askClose();
            compare(ctrl.names(), ["clearPage", "clearAllStatus"]);
            tryVerify(function() { return !page.setupWindow.visible; });
        }

        function test_uninstallAsksThenRemoves() {
            enterWith(["VCA"]);
            devices.numSelected = 1;
            ctrl.clear();
            page.uninstallClicked();
            tryVerify(function() { return page.uninstallWindow.visible; });
            compare(page.uninstallWindow.warningText, "Are you sure you want to uninstall this package?");
            compare(page.uninstallWindow.leftBtnText, "Uninstall");
            compare(page.uninstallWindow.rightBtnText, "Cancel");
            page.uninstallWindow.leftBtnClicked();
            compare(ctrl.names(), ["remove"]);
            compare(page.showUninstallStatus, true);
            // The current module marks the run.
            ctrl.pageStatus = 3;
            var item = findChild(page.moduleList, "packageItem0");
            compare(item.showBusy, true);
            ctrl.pageStatus = 4;
            ctrl.errorCount = 1;
            compare(item.showBusy, false);
            compare(item.showWarning, true);
        }

        function test_leaveGuard_data() {
            return [
                { tag: "idle", status: -1, errors: 0, blocking: false },
                { tag: "finished well", status: 4, errors: 0, blocking: false },
                { tag: "waiting", status: 2, errors: 0, blocking: true,
                  text: "Uninstalling package from devices. Are you sure you want to leave?", call: "abortWorkingCtrl" },
                { tag: "working", status: 3, errors: 0, blocking: true,
                  text: "Uninstalling package from devices. Are you sure you want to leave?", call: "abortWorkingCtrl" },
                { tag: "failed", status: 4, errors: 3, blocking: true,
                  text: "Failed to uninstall package from some devices. Are you sure you want to abort?", call: "leavePage" }
            ];
        }
        function test_leaveGuard(data) {
            ctrl.pageStatus = data.status;
            ctrl.errorCount = data.errors;
            compare(page.blocking, data.blocking);
            if (!data.blocking)
                return;
            page.resolveBlocking();
            tryVerify(function() { return page.leaveWindow.visible; });
            compare(page.leaveWindow.warningText, data.text);
            compare(page.leaveWindow.leftBtnText, "Leave");
            page.leaveWindow.leftBtnClicked();
            compare(ctrl.names(), [data.call]);
            compare(switcher.answers, [true]);
        }

        // The switch: a generic module turns at once; Trend Micro asks for the agreement the
        // first time it is switched on, not again while the window lives, and not to switch off.
        function test_switch_data() {
            return [
                { tag: "generic on", module: "VCA", on: false, accepted: false, agreement: false, call: [true] },
                { tag: "generic off", module: "VCA", on: true, accepted: false, agreement: false, call: [false] },
                { tag: "trend off at once", module: "Trend Micro IoT Security", on: true, accepted: false, agreement: false, call: [false] },
                { tag: "trend on asks", module: "Trend Micro IoT Security", on: false, accepted: false, agreement: true, call: [true] },
                { tag: "trend on again", module: "Trend Micro IoT Security", on: false, accepted: true, agreement: false, call: [true] }
            ];
        }
        function test_switch(data) {
            enterWith([data.module]);
            devices.numSelected = 1;
            page.setupClicked();
            var w = page.setupWindow;
            w.agreementAccepted = data.accepted;
            ctrl.onoff = data.on;
            ctrl.clear();
            w.toggleClicked();
            if (data.agreement) {
                compare(ctrl.names(), []);
                tryVerify(function() { return w.agreementWindow.visible; });
                compare(w.agreementWindow.readOnly, false);
                w.agreementWindow.accepted();
                compare(w.agreementAccepted, true);
            }
            compare(ctrl.callsOf("turnOnOff"), [data.call]);
            compare(w.sending, true);
            // A second click while sending asks nothing more.
            w.toggleClicked();
            compare(ctrl.callsOf("turnOnOff").length, 1);
        }

        function test_switchResult_data() {
            return [
                { tag: "every device", errors: 0, result: "success", icon: "successStartIcon" },
                { tag: "some failed", errors: 1, result: "failure", icon: "generalFailureIcon" }
            ];
        }
        function test_switchResult(data) {
            enterWith(["VCA"]);
            devices.numSelected = 1;
            page.setupClicked();
            var w = page.setupWindow;
            w.toggleClicked();
            ctrl.errorCount = data.errors;
            ctrl.clear();
            ctrl.completed();
            compare(w.sending, false);
            compare(w.result, data.result);
            compare(ctrl.names(), ["clearPage"]);
            verify(findChild(w.contentItem, data.icon).visible);
        }

        function test_setupWindowCloseQuestions_data() {
            return [
                { tag: "sending", sending: true, errors: 0, text: "Applying settings to devices. Are you sure you want to leave?",
                  left: "Leave", calls: ["abortWorkingCtrl", "clearPage", "clearAllStatus"] },
                { tag: "failed", sending: false, errors: 1,
                  text: "Some problems occurred while applying device settings.\nAre you sure you want to discard device settings?",
                  left: "Discard", calls: ["clearPage", "clearAllStatus"] }
            ];
        }
        function test_setupWindowCloseQuestions(data) {
            enterWith(["VCA"]);
            devices.numSelected = 1;
            page.setupClicked();
            var w = page.setupWindow;
            w.sending = data.sending;
            ctrl.pageStatus = 4;
            ctrl.errorCount = data.errors;
            ctrl.clear();
            w.askClose();
            compare(ctrl.names(), []);
            tryVerify(function() { return w.closeQuestion.visible; });
            compare(w.closeQuestion.warningText, data.text);
            compare(w.closeQuestion.leftBtnText, data.left);
            w.closeQuestion.leftBtnClicked();
            compare(ctrl.names(), data.calls);
            tryVerify(function() { return !w.visible; });
        }

        // The Trend Micro window, on and at its first tab.
        function openTrend() {
            enterWith(["Trend Micro IoT Security"]);
            devices.numSelected = 1;
            ctrl.onoff = true;
            page.setupClicked();
            ctrl.clear();
            return page.setupWindow;
        }
        function tabButton(w, name) {
            return findChild(w.contentItem, "naviViewZAPKButton_" + name);
        }

        function test_trendTabsFollowTheSwitch_data() {
            return [
                { tag: "on everywhere", on: true, enabled: true },
                { tag: "off somewhere", on: false, enabled: false }
            ];
        }
        function test_trendTabsFollowTheSwitch(data) {
            var w = openTrend();
            ctrl.onoff = data.on;
            compare(tabButton(w, "General").tabEnabled, true);
            compare(tabButton(w, "Update").tabEnabled, data.enabled);
            compare(tabButton(w, "Export").tabEnabled, data.enabled);
            verify(findChild(w.contentItem, "trendMicroView") !== null);
        }

        // A tab change clears the run; while one runs or after a failure it asks first, and a
        // refusal keeps the tab.
        function test_trendTabChange_data() {
            return [
                { tag: "idle", from: "General", to: "Update", prepare: "", question: "" },
                { tag: "sending", from: "General", to: "Export", prepare: "sending",
                  question: "Applying settings to devices. Are you sure you want to leave?", left: "Leave", abort: true },
                { tag: "exporting", from: "Export", to: "General", prepare: "sending",
                  question: "Exporting device settings.\nAre you sure you want to leave?", left: "Leave", abort: true },
                { tag: "failure shown", from: "General", to: "Update", prepare: "failure",
                  question: "Some problems occurred while applying device settings.\nAre you sure you want to discard device settings?",
                  left: "Discard", abort: false }
            ];
        }
        function test_trendTabChange(data) {
            var w = openTrend();
            w.changeTab(data.from);
            ctrl.clear();
            if (data.prepare === "sending")
                w.sending = true;
            else if (data.prepare === "failure")
                w.result = "failure";
            w.requestTab(data.to);
            if (data.question !== "") {
                compare(w.currentTab, data.from);
                tryVerify(function() { return w.tabQuestion.visible; });
                compare(w.tabQuestion.warningText, data.question);
                compare(w.tabQuestion.leftBtnText, data.left);
                w.tabQuestion.close();
                compare(w.currentTab, data.from);
                compare(ctrl.names(), []);
                w.requestTab(data.to);
                w.tabQuestion.leftBtnClicked();
                w.tabQuestion.close();
            }
            compare(w.currentTab, data.to);
            compare(ctrl.names(), data.abort ? ["abortWorkingCtrl", "clearPage", "clearAllStatus"] : ["clearPage", "clearAllStatus"]);
            compare(w.sending, false);
            compare(w.result, "");
        }

        function test_updateMode_data() {
            return [
                { tag: "auto applied", choice: "auto", arg: true, success: true, state: "success", signature: false },
                { tag: "manual applied", choice: "manual", arg: false, success: true, state: "success", signature: true },
                { tag: "refused", choice: "manual", arg: false, success: false, state: "failure", signature: false }
            ];
        }
        function test_updateMode(data) {
            var w = openTrend();
            w.changeTab("Update");
            ctrl.clear();
            var u = w.updatePage;
            verify(!findChild(u, "btnApplyMode").enabled);
            u.choice = data.choice;
            verify(findChild(u, "btnApplyMode").enabled);
            u.applyMode();
            compare(ctrl.callsOf("setAutoUpdate"), [[data.arg]]);
            compare(findChild(u, "radioAuto").enabled, false);
            ctrl.setModeResult(data.success);
            compare(u.modeState, data.state);
            compare(findChild(u, "modeFailureText").visible, !data.success);
            compare(u.signatureButton.parent.visible, data.signature);
        }

        function test_updateModeResultAfterAbortIsIgnored() {
            var w = openTrend();
            w.changeTab("Update");
            w.updatePage.choice = "auto";
            w.updatePage.applyMode();
            w.requestTab("General");
            tryVerify(function() { return w.tabQuestion.visible; });
            w.tabQuestion.leftBtnClicked();
            w.tabQuestion.close();
            ctrl.setModeResult(false);
            compare(w.updatePage.modeState, "");
        }

        function test_signatureUploadAndRetry() {
            var w = openTrend();
            w.changeTab("Update");
            var u = w.updatePage;
            u.choice = "manual";
            u.applyMode();
            ctrl.setModeResult(true);
            ctrl.clear();
            u.upload("file:///tmp/sig/tmis-2026.zip");
            compare(ctrl.callsOf("uploadTrendMicroConfig"), [["file:///tmp/sig/tmis-2026.zip"]]);
            compare(w.sending, true);
            ctrl.pageStatus = 4;
            ctrl.errorCount = 1;
            compare(u.signatureButton.displayState, "warning");
            compare(u.signatureButton.shownText, "Failed to update");
            verify(w.failureShown);
            u.signatureButton.refreshBtnClicked();
            compare(ctrl.callsOf("uploadTrendMicroConfig")[1], ["file:///tmp/sig/tmis-2026.zip"]);
        }

        function test_exportAndRetryToTheSameFolder() {
            var w = openTrend();
            w.changeTab("Export");
            ctrl.clear();
            var e = w.exportPage;
            compare(e.exportButton.shownText, "Export now");
            e.exportTo("file:///tmp/logs");
            compare(ctrl.names(), ["setZAPKExportDir", "exportTrendMicroLog"]);
            compare(ctrl.callsOf("setZAPKExportDir")[0], ["file:///tmp/logs"]);
            ctrl.pageStatus = 3;
            compare(e.exportButton.shownText, "Exporting");
            ctrl.pageStatus = 4;
            ctrl.errorCount = 1;
            compare(e.exportButton.shownText, "Failed to export");
            ctrl.clear();
            e.exportButton.refreshBtnClicked();
            compare(ctrl.callsOf("setZAPKExportDir"), [["file:///tmp/logs"]]);
            ctrl.errorCount = 0;
            ctrl.trendExportPath = "file:///tmp/logs/tmis";
            compare(e.exportButton.shownText, "Exported successfully");
            verify(findChild(e, "btnOpenTrendExportFolder").visible);
        }

        function openStereo(module) {
            enterWith([module]);
            devices.numSelected = 1;
            ctrl.onoff = true;
            page.setupClicked();
            var w = page.setupWindow;
            w.changeTab("Batch");
            ctrl.clear();
            return w.batchPage;
        }

        function test_stereoTabs() {
            var b = openStereo("VCA");
            var w = page.setupWindow;
            compare(w.tabs.map(function(t) { return t.name; }), ["General", "Batch"]);
            verify(b.visible);
            ctrl.onoff = false;
            compare(findChild(w.contentItem, "naviViewZAPKButton_Batch").tabEnabled, false);
        }

        function test_stereoExportResult_data() {
            return [
                { tag: "success", module: "Rureru Revevaz", result: "success", state: "success", folderButton: true },
                { tag: "failure", module: "VCA", result: "fail", state: "Failed to export" },
                { tag: "timeout", module: "ANPR", result: "timeout", state: "Session expired. Try again later" },
                { tag: "refused login", module: "Zovu Rorevazu ZAV", result: "auth fail", state: "Failed to verify user name/password" },
                { tag: "anything else", module: "VCA", result: "odd", state: "Failed to export" }
            ];
        }
        function test_stereoExportResult(data) {
            var b = openStereo(data.module);
            compare(findChild(b, "anprVersionNote").visible, data.module === "ANPR");
            b.exportClicked();
            compare(ctrl.names(), ["exportClicked", "setStereoExportPackage"]);
            compare(ctrl.callsOf("setStereoExportPackage")[0], [data.module]);
            tryVerify(function() { return b.selectWindow.visible; });
            b.selectWindow.close();
            b.chosenIndex = 3;
            b.chosenIp = "10.0.0.2";
            b.exportTo("file:///tmp/templates");
            compare(ctrl.callsOf("setZAPKExportDir")[0], ["file:///tmp/templates"]);
            compare(ctrl.callsOf("exportStereo")[0], [data.module, 3, "10.0.0.2"]);
            compare(b.sending, true);
            ctrl.stereoExportPath = "file:///tmp/templates/vca.tpl";
            ctrl.exportResult(data.result);
            compare(b.exportState, data.state);
            compare(findChild(b, "btnOpenStereoExportFolder").visible, data.folderButton === true);
            if (data.state !== "success")
                compare(findChild(b, "stereoExportFailureText").text, data.state);
        }

        // A chosen template clears the last run's statuses; "Apply" sends it for the module.
        function test_stereoTemplateApplied() {
            var b = openStereo("VCA");
            verify(!findChild(b, "btnApply").enabled);
            b.templateChosen("file:///tmp/templates/vca.tpl");
            compare(ctrl.names(), ["clearPage", "clearAllStatus"]);
            compare(b.applyButton.shownText, "vca.tpl");
            ctrl.clear();
            findChild(b, "btnApply").apply();
            compare(ctrl.callsOf("uploadStereoConfig"), [["file:///tmp/templates/vca.tpl", "VCA"]]);
            ctrl.pageStatus = 3;
            compare(b.applyButton.shownText, "Applying");
            ctrl.pageStatus = 4;
            ctrl.errorCount = 2;
            compare(b.applyButton.shownText, "Failed to apply");
            verify(page.setupWindow.failureShown);
        }
    }
}
