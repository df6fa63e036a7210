import QtQuick 2.15
import QtQuick.Window 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/MainPage"

// The main page against stand-ins for its controllers: the searching states, the range search
// and its stop, the device-set tabs, what is disabled while searching, the add and import
// outcomes, and the authorization that must come before the page may be left.
Item {
    id: top
    width: 1032
    height: 768

    GlobalProperty {
        id: _GProperty_
    }

    FakeMainPageCtrl {
        id: fakeCtrl
    }
    FakeModelCtrl {
        id: fakeListCtrl
    }
    FakeSwitcher {
        id: switcher
    }

    ListModel {
        id: devices
        property int numSelected: 0
    }
    ListModel {
        id: unauthorized
    }
    ListModel {
        id: needPassword
    }
    QtObject {
        id: fakePolicy
        function isValid(t, rule) { return t.length >= 8; }
        function strength(t, rule) { return t.length >= 8 ? 1 : 0; }
        function hintLines(t, rule) { return []; }
        function strengthColors(s) { return ["#999999", "#999999", "#999999"]; }
    }

    MainPage {
        id: page
        width: top.width
        height: top.height
        visible: true
        ctrl: fakeCtrl
        listModel: devices
        listCtrl: fakeListCtrl
        unauthorizedModel: unauthorized
        needPasswordModel: needPassword
        policyCheck: fakePolicy
        ownerSwitcher: switcher
    }

    SignalSpy {
        id: resetSpy
        target: page
        signalName: "resetNaviView"
    }

    function device(ip, selected) {
        return { ipRole: ip, modelRole: "QD8182", macRole: "02-A5-7F-00-00-01", firmwareRole: "0104a",
                 httpPortRole: 8080, httpsPortRole: 443, cmsPortRole: 0, statusRole: -1,
                 sdCardStatusRole: "", sdCardUseRole: "", selectedRole: selected };
    }

    TestCase {
        name: "MainPage"
        when: windowShown

        function child(name) {
            var item = findChild(page, name);
            verify(item !== null, "no item " + name);
            return item;
        }

        function init() {
            ["rangeBox", "importNoticeWindow", "authorizeWindow", "passwordSettingWindow"].forEach(function(name) {
                var w = findChild(page, name);
                if (w && w.visible)
                    w.close();
            });
            fakeCtrl.reset();
            fakeListCtrl.calls = [];
            switcher.answers = [];
            resetSpy.clear();
            devices.clear();
            devices.numSelected = 0;
            unauthorized.clear();
            needPassword.clear();
            page.searching = false;
            page.isRangedSearch = false;
            page.isStopping = false;
            page.discoveryRunning = false;
            page.lastSearchRanged = false;
            page.completeWhenAuthorized = false;
            page.adding = false;
            page.clearRange();
        }

        function test_plain_search_runs_until_the_first_device() {
            page.search();
            compare(fakeCtrl.callsOf("setNVOnly"), [[false]]);
            compare(fakeCtrl.callsOf("startSearchDevices").length, 1);
            verify(page.searching);
            verify(!page.isRangedSearch);
            compare(child("statusBusyText").text, "Searching");
            // While searching the table, the filter, the actions and the tabs do not react.
            verify(!child("deviceTable").enabled);
            verify(!child("filterBox").enabled);
            verify(!child("deviceSetTabs").enabled);
            verify(!child("authorizeButton").enabled);
            verify(!child("rangeSearchButton").enabled);

            fakeCtrl.devicesFound();
            verify(!page.searching);
            verify(child("deviceTable").enabled);
            verify(child("authorizeButton").enabled);
            // The discovery goes on: the refresh icon keeps turning until it has stopped.
            verify(page.discoveryRunning);
            fakeCtrl.searchStopped();
            verify(!page.discoveryRunning);
        }

        function test_a_search_that_cannot_start_leaves_the_page_usable_data() {
            return [ { tag: "plain", ranged: false }, { tag: "range", ranged: true } ];
        }
        function test_a_search_that_cannot_start_leaves_the_page_usable(data) {
            fakeCtrl.searchResult = false;
            if (data.ranged) {
                page.strSearchIPStart = "10.0.0.0";
                page.strSearchIPEnd = "10.0.0.255";
                page.searchIPRange();
            } else {
                page.search();
            }
            verify(!page.searching);
            verify(!page.isRangedSearch);
            verify(!page.discoveryRunning);
            verify(child("deviceTable").enabled);
        }

        function test_dots_cycle_while_searching() {
            page.search();
            var dots = child("statusDots");
            compare(dots.text, ".");
            tryCompare(dots, "text", "..", 1000);
            tryCompare(dots, "text", "...", 1000);
            tryCompare(dots, "text", ".", 1000);
        }

        function test_range_search_and_its_stop() {
            var box = findChild(page, "rangeBox");
            box.rangeChosen("10.0.0.0", "10.0.255.255", 295);
            compare(page.strSearchIPStart, "10.0.0.0");
            compare(page.strSearchIPEnd, "10.0.255.255");
            compare(fakeCtrl.callsOf("startSearchIPRangeDevices"), [["10.0.0.0", "10.0.255.255", 295]]);
            verify(page.isRangedSearch);
            verify(child("rangeProgressBar").visible);
            var stop = child("rangeStopButton");
            verify(stop.visible);
            compare(child("rangeSearchButton").btnText, "IP range:10.0.0.0~10.0.255.255");
            // The range cannot be deleted while it is searched.
            verify(!child("rangeDeleteButton").visible);

            fakeCtrl.progress = 40;
            compare(child("rangeProgressBar").value, 40);

            stop.clicked();
            compare(fakeCtrl.callsOf("userStops").length, 1);
            verify(page.isStopping);
            verify(!stop.visible);
            compare(child("statusBusyText").text, "Stopping");

            fakeCtrl.devicesFound();
            verify(!page.isStopping);
            fakeCtrl.searchStopped();
            verify(!page.isRangedSearch);
            verify(child("rangeDeleteButton").visible);
        }

        function test_refresh_repeats_the_last_kind_of_search() {
            page.strSearchIPStart = "10.0.0.0";
            page.strSearchIPEnd = "10.0.0.255";
            page.requiredTime = 10;
            page.searchIPRange();
            fakeCtrl.devicesFound();
            fakeCtrl.searchStopped();
            child("refreshButton").clicked();
            compare(fakeCtrl.callsOf("startSearchIPRangeDevices").length, 2);
            compare(fakeCtrl.callsOf("startSearchDevices").length, 0);
            fakeCtrl.devicesFound();
            fakeCtrl.searchStopped();

            child("rangeDeleteButton").clicked();
            compare(page.strSearchIPStart, "");
            child("refreshButton").clicked();
            compare(fakeCtrl.callsOf("startSearchDevices").length, 1);
        }

        function test_entering_after_another_page_asked_for_a_search() {
            page.strSearchIPStart = "10.0.0.0";
            page.strSearchIPEnd = "10.0.0.255";
            page.searchWhenEnteringPage = true;
            page.enterPage();
            compare(page.strSearchIPStart, "");
            compare(fakeCtrl.callsOf("startSearchDevices").length, 1);
            verify(!page.searchWhenEnteringPage);
            fakeCtrl.devicesFound();
            page.enterPage();
            compare(fakeCtrl.callsOf("startSearchDevices").length, 1);
        }

        function test_leaving_aborts_and_hides_the_busy_icon() {
            fakeCtrl.authorizing();
            verify(child("authorizeBusy").visible);
            page.leavePage();
            compare(fakeCtrl.callsOf("leavePage").length, 1);
            verify(!child("authorizeBusy").visible);
            fakeCtrl.authorizing();
            fakeCtrl.authorizeStopped();
            verify(!child("authorizeBusy").visible);
        }

        function test_device_set_tabs_data() {
            return [
                { tag: "recorders", name: "nvr", nvrSelectable: true },
                { tag: "cameras", name: "camera", nvrSelectable: false },
                { tag: "all", name: "all", nvrSelectable: false }
            ];
        }
        function test_device_set_tabs(data) {
            // Start from another set so every row is a change.
            page.deviceSet = data.name === "camera" ? "nvr" : "camera";
            mouseClick(child("deviceSet_" + data.name));
            compare(page.deviceSet, data.name);
            compare(resetSpy.count, 1);
            compare(fakeListCtrl.callsOf("setSelectionToAll"), [[false]]);
            compare(fakeListCtrl.callsOf("acceptModelSet"), [[data.name]]);
            compare(fakeCtrl.callsOf("setNVRSelectable"), [[data.nvrSelectable]]);
        }

        function test_filter_goes_to_the_view() {
            var filter = child("filterBox");
            filter.text = "192 camera";
            compare(fakeListCtrl.callsOf("setFilter").pop(), ["192 camera"]);
            filter.text = "";
        }

        function test_status_bar_counts_data() {
            return [
                { tag: "nothing selected", rows: 3, selected: 0, number: "3", caption: "device(s) found" },
                { tag: "some selected", rows: 3, selected: 2, number: "2", caption: "selected" },
                { tag: "empty list", rows: 0, selected: 0, number: "0", caption: "device(s) found" }
            ];
        }
        function test_status_bar_counts(data) {
            for (var i = 0; i < data.rows; ++i)
                devices.append(top.device("127.0.0." + (i + 1), i < data.selected));
            devices.numSelected = data.selected;
            compare(child("statusCountText").text, data.number);
            compare(child("statusCaptionText").text, data.caption);
        }

        function test_authorize_button_text_data() {
            return [
                { tag: "none selected", rows: 3, selected: 0, text: "Authorize all" },
                { tag: "some selected", rows: 3, selected: 1, text: "Authorize" },
                { tag: "all selected", rows: 3, selected: 3, text: "Authorize all" }
            ];
        }
        function test_authorize_button_text(data) {
            for (var i = 0; i < data.rows; ++i)
                devices.append(top.device("127.0.0." + (i + 1), i < data.selected));
            devices.numSelected = data.selected;
            compare(child("authorizeButton").btnText, data.text);
        }

        function test_add_device_outcome_data() {
            return [
                { tag: "already listed", error: 1, text: "The device already exists." },
                { tag: "no answer in time", error: 2, text: "Session expired. Try again later" },
                { tag: "anything else", error: 0, text: "Failed" }
            ];
        }
        function test_add_device_outcome(data) {
            var box = child("addDeviceButton");
            box.inputBox1.text = "127.0.0.9";
            box.inputBox2.text = "80";
            box.commit();
            compare(fakeCtrl.callsOf("addDevice"), [["127.0.0.9", "80"]]);
            compare(box.status, "LOADING");
            verify(page.adding);
            fakeCtrl.addDeviceFailed(data.error);
            compare(box.status, "WARNING");
            compare(box.statusText, data.text);
            fakeCtrl.addDeviceFinished();
            verify(!page.adding);
            // Editing a field makes the outcome stale.
            box.inputBox2.text = "8080";
            compare(box.statusText, "");
        }

        function test_add_device_success_clears_and_closes() {
            var box = child("addDeviceButton");
            box.open();
            box.inputBox1.text = "cam-1.local";
            box.commit();
            fakeCtrl.addDeviceSucceeded();
            compare(box.status, "");
            verify(!box.isActive);
            verify(!page.adding);
        }

        function test_import_failures_list_the_addresses() {
            fakeCtrl.failedImport = ["127.0.0.7", "cam.local"];
            fakeCtrl.someImportFailed();
            var notice = findChild(page, "importNoticeWindow");
            tryVerify(function() { return notice.visible; });
            compare(notice.warningText, "Failed to import\n127.0.0.7\ncam.local");
            notice.close();
            fakeCtrl.importFileError();
            tryVerify(function() { return notice.visible; });
            compare(notice.warningText, "Failed to import");
        }

        function test_double_click_opens_the_web_page() {
            devices.append(top.device("127.0.0.5", false));
            var row = null;
            tryVerify(function() { row = findChild(child("deviceTable"), "row_0"); return row !== null; });
            mouseDoubleClickSequence(row, 20, 20);
            compare(fakeCtrl.callsOf("openWebPage"), [["http://127.0.0.5:8080"]]);
        }

        function test_blocking_only_with_unauthorized_rows() {
            verify(!page.isBlocking(false));
            unauthorized.append(top.device("127.0.0.5", true));
            verify(page.isBlocking(false));
            verify(!page.isBlocking(true), "closing the window is never blocked");
        }

        function test_authorized_devices_let_the_navigation_go_on() {
            devices.append(top.device("127.0.0.5", true));
            devices.numSelected = 1;
            unauthorized.append(top.device("127.0.0.5", true));
            page.resolveBlocking();
            var win = findChild(page, "authorizeWindow");
            tryVerify(function() { return win.visible; });
            compare(win.title, "Authorize 1 device(s) before setup");
            unauthorized.clear();
            verify(!win.visible);
            compare(switcher.answers, [true]);
        }

        function test_closing_the_authorize_window_keeps_the_page() {
            devices.append(top.device("127.0.0.5", true));
            devices.numSelected = 1;
            unauthorized.append(top.device("127.0.0.5", true));
            page.resolveBlocking();
            var win = findChild(page, "authorizeWindow");
            tryVerify(function() { return win.visible; });
            win.close();
            compare(switcher.answers, [false]);
            // Authorizing later does not switch on its own.
            unauthorized.clear();
            compare(switcher.answers, [false]);
        }

        function test_first_password_takes_over_from_the_authorize_window() {
            devices.append(top.device("127.0.0.5", true));
            devices.numSelected = 1;
            unauthorized.append(top.device("127.0.0.5", true));
            needPassword.append(top.device("127.0.0.5", true));
            page.resolveBlocking();
            var authWin = findChild(page, "authorizeWindow");
            var pwWin = findChild(page, "passwordSettingWindow");
            tryVerify(function() { return authWin.visible; });
            fakeCtrl.needToSetPassword();
            verify(!authWin.visible);
            verify(pwWin.visible);
            compare(switcher.answers, [], "handing over is not closing");
            compare(pwWin.title, "Set up new password for 1 device(s) with new firmware");
            compare(fakeCtrl.callsOf("getPasswordPolicyRuleForSetNewPassword")[0], [0]);

            // The devices get their password and are authorized with it: the navigation goes on.
            findChild(pwWin, "newPasswordInput").text = "Secret123";
            findChild(pwWin, "confirmPasswordInput").text = "Secret12";
            verify(!pwWin.canApply);
            verify(findChild(pwWin, "passwordMismatchText").visible);
            findChild(pwWin, "confirmPasswordInput").text = "Secret123";
            verify(pwWin.canApply);
            pwWin.commit();
            compare(fakeCtrl.callsOf("setNewFWPassword"), [["Secret123"]]);
            verify(!pwWin.visible);
            unauthorized.clear();
            compare(switcher.answers, [true]);
        }

        function test_need_password_without_rows_opens_nothing() {
            fakeCtrl.needToSetPassword();
            verify(!findChild(page, "passwordSettingWindow").visible);
        }
    }
}
