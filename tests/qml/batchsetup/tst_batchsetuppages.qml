import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"

Item {
    id: top
    width: 1280
    height: 800

    GlobalProperty { id: _GProperty_ }
    FakeBatchSetupCtrl { id: fake }
    // The pages' own lookup of the controller finds this.
    readonly property var batchSetupPageCtrl: fake
    // A policy that wants eight characters at least.
    QtObject {
        id: passwordPolicyCheck
        function isValid(text, rule) { return text.length >= 8; }
        function hintLines(text, rule) { return []; }
        function strength(text, rule) { return 0; }
        function strengthColors(s) { return ["#999999", "#999999", "#999999"]; }
    }

    property var page: null

    // The template-camera views as the camera window sees them.
    ListModel {
        id: templateModel
        ListElement { modelRole: "QB9365"; ipRole: "127.0.0.1"; selectedRole: false }
        ListElement { modelRole: "QD8182"; ipRole: "127.0.0.2"; selectedRole: false }
    }
    QtObject {
        id: templateCtrl
        property var calls: []
        function note(c) { var l = calls; l.push(c); calls = l; }
        function setSelectionToAll(on) { note("setSelectionToAll(" + on + ")"); for (var i = 0; i < templateModel.count; ++i) templateModel.setProperty(i, "selectedRole", on); return true; }
        function select(row) { note("select(" + row + ")"); for (var i = 0; i < templateModel.count; ++i) templateModel.setProperty(i, "selectedRole", i === row); return true; }
        function ctrlSelect(row) { return select(row); }
        function shiftSelect(row) { return select(row); }
        function selectAll() { return true; }
        function setFilter(text) { note("setFilter(" + text + ")"); }
        function sortByRole(role, order) {}
    }
    readonly property var batchSetupTemplateDevicesModel: templateModel
    readonly property var batchSetupTemplateDevicesModelCtrl: templateCtrl

    function find(item, name) {
        if (!item)
            return null;
        if (item.objectName === name)
            return item;
        var kids = item.children;
        for (var i = 0; kids && i < kids.length; ++i) {
            var r = find(kids[i], name);
            if (r)
                return r;
        }
        return null;
    }

    Component {
        id: spyComponent
        SignalSpy {}
    }
    Component {
        id: pageComponent
        Loader {
            width: top.width
            height: top.height
            source: "qrc:/src/qml/BatchSetup/BatchSetup.qml"
            onLoaded: { item.visible = true; item.enterPage(); }
        }
    }

    TestCase {
        name: "BatchSetupPages"
        when: windowShown

        property var loader: null

        function init() {
            fake.clear();
            fake.customize = ["uid_custom_a"];
            fake.pageStatus = -1;
            fake.errorCount = 0;
            fake.currentTemplateInfo = "QB9365  127.0.0.1";
            loader = pageComponent.createObject(top);
            tryVerify(function() { return loader.item !== null; });
            top.page = loader.item;
        }
        function cleanup() {
            loader.destroy();
            loader = null;
            top.page = null;
            wait(0);
        }

        function instruction() { return top.page.switcher.page("Instruction"); }
        function loadTemplate() {
            fake.readCurrentOptionFromCameraCompleted(200);
            compare(top.page.switcher.shownPage, "Setting");
            return top.page.switcher.currentItem;
        }

        function test_entering_shows_instruction() {
            compare(top.page.switcher.shownPage, "Instruction");
            verify(fake.calls.indexOf("enterPage") >= 0);
            verify(fake.calls.indexOf("resetOptionListDirtyBit") >= 0);
            verify(!instruction().cameraWindow.visible);
        }

        function test_camera_read_outcome_data() {
            return [
                { tag: "success", code: 200, page: "Setting", warning: "" },
                { tag: "connection", code: 201, page: "Instruction", warning: "Failed to create from camera" },
                { tag: "password", code: 202, page: "Instruction", warning: "Failed to verify user name/password" },
                { tag: "time-out", code: 203, page: "Instruction", warning: "Session expired. Try again later" },
                { tag: "unknown", code: 0, page: "Instruction", warning: "Failed to create from camera" }
            ];
        }
        function test_camera_read_outcome(row) {
            instruction().readFromCamera();
            verify(instruction().loadingBlock.visible);
            compare(fake.calls.indexOf("readCurrentOptionFromCamera") >= 0, true);
            fake.readCurrentOptionFromCameraCompleted(row.code);
            verify(!instruction().loadingBlock.visible);
            compare(top.page.switcher.shownPage, row.page);
            if (row.warning !== "") {
                compare(instruction().messageWindow.warningText, row.warning);
                instruction().messageWindow.close();
            }
        }

        function test_file_read_outcome_data() {
            return [ { tag: "success", code: 200, page: "Setting" }, { tag: "failure", code: 0, page: "Instruction" } ];
        }
        function test_file_read_outcome(row) {
            fake.readCurrentOptionFromFileCompleted(row.code);
            compare(top.page.switcher.shownPage, row.page);
            if (row.code !== 200) {
                compare(instruction().messageWindow.warningText, "The file cannot be opened");
                instruction().messageWindow.close();
            }
        }

        function test_template_tab_shows_the_template() {
            var tab = find(top.page.tabView, "batchSetupMode_CreateFromCamera");
            verify(tab !== null);
            compare(tab.caption, "Create a template from camera");
            loadTemplate();
            compare(tab.caption, "QB9365  127.0.0.1");
            verify(tab.marked);
        }

        function test_settings_list_data() {
            return [
                { tag: "with customize settings", customize: ["uid_custom_a"], entries: 13 },
                { tag: "without", customize: [], entries: 12 }
            ];
        }
        function test_settings_list(row) {
            fake.customize = row.customize;
            var setting = loadTemplate();
            compare(setting.settingList.count, row.entries);
            compare(setting.settingPages.length, 13);
            compare(setting.settingSwitcher.shownPage, "HostNameAndTime", "the first entry is chosen on entry");
        }

        function test_apply_all_and_the_password_data() {
            return [
                { tag: "empty password left out", password: "", included: false },
                { tag: "password applied", password: "Secret123!", included: true },
                { tag: "password the policy refuses left out", password: "short", included: false }
            ];
        }
        function test_apply_all_and_the_password(row) {
            var setting = loadTemplate();
            var account = setting.pageByName("UserAccount");
            var box = find(account, "questionRootPassword");
            box.text = row.password;
            find(account, "questionConfirmPassword").text = row.password;
            setting.applyAll();
            var uids = fake.uidList.map(function(i) { return i.uid; });
            compare(uids.indexOf("uid_root_password") >= 0, row.included);
            verify(uids.indexOf("uid_system_hostname") >= 0);
            compare(top.page.switcher.shownPage, "Uploading");
            verify(fake.calls.indexOf("start") >= 0);
        }

        function test_dirty_template_asks_before_a_tab_data() {
            return [ { tag: "accepted", accept: true }, { tag: "refused", accept: false } ];
        }
        function test_dirty_template_asks_before_a_tab(row) {
            var setting = loadTemplate();
            fake.dirty = true;
            top.page.chooseTab("CreateFromCamera");
            compare(top.page.switcher.shownPage, "Setting");
            if (row.accept) {
                var leave = null;
                for (var i = 0; i < setting.data.length; ++i)
                    if (setting.data[i].objectName === "SettingPageLeaveWindow")
                        leave = setting.data[i];
                verify(leave !== null && leave.visible);
                leave.leftBtnClicked();
                compare(fake.dirty, false);
                compare(top.page.switcher.shownPage, "Instruction");
                verify(instruction().cameraWindow.visible, "the remembered tab acts after the answer");
            } else {
                for (var j = 0; j < setting.data.length; ++j)
                    if (setting.data[j].objectName === "SettingPageLeaveWindow")
                        setting.data[j].close();
                compare(top.page.switcher.shownPage, "Setting");
                compare(top.page.pendingTab, "");
            }
        }

        function test_camera_window_picks_one_camera() {
            templateModel.setProperty(1, "selectedRole", true);
            templateCtrl.calls = [];
            top.page.chooseTab("CreateFromCamera");
            var w = instruction().cameraWindow;
            verify(w.visible);
            compare(templateCtrl.calls.join(" "), "setSelectionToAll(false) select(0)", "row 0 chosen afresh on every showing");
            compare(templateModel.get(0).selectedRole, true);
            compare(templateModel.get(1).selectedRole, false);
            w.searchBox.text = "QD";
            compare(templateCtrl.calls[templateCtrl.calls.length - 1], "setFilter(QD)");
            keyClick(Qt.Key_Down);
            compare(templateModel.get(1).selectedRole, true, "the arrow keys move the single selection");
            compare(templateModel.get(0).selectedRole, false);
            keyClick(Qt.Key_Return);
            verify(!w.visible);
            verify(instruction().loadingBlock.visible, "reading the camera holds the page");
            verify(fake.calls.indexOf("readCurrentOptionFromCamera") >= 0);
            // The same tab again hides a shown window.
            fake.readCurrentOptionFromCameraCompleted(201);
            instruction().messageWindow.close();
            top.page.chooseTab("CreateFromCamera");
            verify(w.visible);
            top.page.chooseTab("CreateFromCamera");
            verify(!w.visible);
        }

        function test_enter_in_a_box_asks_to_apply_all_data() {
            return [ { tag: "acceptable", host: "cam-1", asks: true }, { tag: "refused", host: "cam;1", asks: false } ];
        }
        function test_enter_in_a_box_asks_to_apply_all(row) {
            var setting = loadTemplate();
            var form = setting.pageByName("HostNameAndTime");
            var spy = createTemporaryObject(spyComponent, top, { "target": form, "signalName": "apply" });
            var host = find(form, "questionHostName");
            host.text = row.host;
            host.inputBox.inputBoxTxtInfo.forceActiveFocus();
            keyClick(Qt.Key_Return);
            compare(spy.count, row.asks ? 1 : 0, "Enter in a box reaches the settings page");
            compare(form.acceptableInput, row.asks);
            if (!row.asks)
                verify(!setting.inputAcceptable, "Apply all and export follow the input");
        }

        function test_chosen_sections_are_applied() {
            var setting = loadTemplate();
            find(setting.pageByName("HostNameAndTime"), "questionHostName").text = "cam-2";
            var w = setting.sectionWindow;
            w.openTree(setting.buildTree());
            compare(w.chosen.length, 0, "nothing chosen at first");
            compare(w.rows.length, 5, "the five classes, closed");
            w.toggle(w.roots[0], true);
            compare(JSON.stringify(w.chosen.map(function(o) { return o.uid; })),
                    JSON.stringify(["uid_system_hostname", "uid_system_timezoneindex", "uid_ntp_server", "uid_ntp_server_update_interval"]),
                    "the chosen class only, without what the pack does not offer (the LED)");
            w.openClose(w.roots[0], true);
            compare(w.rows.length, 6);
            w.applyRequested(w.chosen);
            compare(fake.uidList.length, 4);
            compare(fake.uidList[0].channel, 0);
            compare(top.page.switcher.shownPage, "Uploading");
        }

        function test_import_reads_the_file_after_the_loading_block_shows() {
            instruction().importFrom("file:///tmp/template.csv");
            verify(instruction().loadingBlock.visible);
            compare(fake.calls.indexOf("importCurrentOptionsFromUrl"), -1, "the block is drawn before the read");
            tryVerify(function() { return fake.calls.indexOf("importCurrentOptionsFromUrl") >= 0; });
            fake.readCurrentOptionFromFileCompleted(200);
            verify(!instruction().loadingBlock.visible);
            compare(top.page.switcher.shownPage, "Setting");
        }

        function test_run_texts_data() {
            return [
                { tag: "working", status: 3, errors: 0, countdown: 0, text: "Applying settings to cameras" },
                { tag: "failed", status: 4, errors: 2, countdown: 0, text: "Failed to apply" },
                { tag: "applied", status: 4, errors: 0, countdown: 0, text: "Applied successfully" },
                { tag: "restarting", status: 4, errors: 0, countdown: 60, text: "Restarting device(s): 60 s" }
            ];
        }
        function test_run_texts(row) {
            loadTemplate().applyAll();
            var uploading = top.page.switcher.currentItem;
            fake.pageStatus = row.status;
            fake.errorCount = row.errors;
            uploading.restartCountdown = row.countdown;
            compare(uploading.panel.button.shownText, row.text);
            uploading.restartCountdown = 0;
            fake.pageStatus = -1;
        }

        function test_start_failure_is_told() {
            loadTemplate().applyAll();
            var uploading = top.page.switcher.currentItem;
            fake.startFailed(0);
            var message = null;
            for (var i = 0; i < uploading.data.length; ++i)
                if (uploading.data[i].objectName === "UploadingPageMessageWindow")
                    message = uploading.data[i];
            verify(message.visible);
            compare(message.warningText, "Unknown failure");
            message.close();
        }

        function test_restart_disables_tabs_and_counts_down() {
            var setting = loadTemplate();
            setting.applyAll();
            var uploading = top.page.switcher.currentItem;
            fake.pageStatus = 4;
            fake.errorCount = 0;
            fake.completed();
            compare(uploading.pageState, "Success");
            fake.devicesRestartingAfterApplied(true);
            compare(uploading.restartCountdown, 60);
            verify(uploading.countdownTimer.running);
            var tab = find(top.page.tabView, "batchSetupMode_ImportTemplate");
            verify(!tab.enabled, "no new template while the cameras restart");
            top.page.leavePage();
            verify(!uploading.countdownTimer.running, "leaving stops the countdown");
            verify(fake.calls.indexOf("leavePage") >= 0);
            top.page.enterPage();
            verify(tab.enabled);
            compare(top.page.switcher.shownPage, "Instruction");
        }

        function test_failed_run_blocks_with_the_discard_question() {
            var setting = loadTemplate();
            setting.applyAll();
            var uploading = top.page.switcher.currentItem;
            fake.pageStatus = 4;
            fake.errorCount = 1;
            fake.completed();
            compare(uploading.pageState, "Failed");
            verify(uploading.blocking);
            top.page.chooseTab("CreateFromCamera");
            compare(uploading.leaveWindow.leftBtnText, "Discard");
            uploading.leaveWindow.leftBtnClicked();
            verify(fake.calls.indexOf("abortSetDevices") >= 0);
        }
    }
}
