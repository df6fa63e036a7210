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
            top.page.enterPage();
            verify(tab.enabled);
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
