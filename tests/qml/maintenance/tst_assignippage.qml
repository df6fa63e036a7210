import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/AutoAssign"

// The IP assignment page against a stand-in controller: when Apply is enabled, what each kind
// of assignment calls (the range put in order, the question before one fixed address for many
// devices), the only-failed box, the start failures and the leave question while working.
Item {
    id: top
    width: 1032
    height: 768

    GlobalProperty {
        id: _GProperty_
    }

    FakeAssignCtrl {
        id: fakeCtrl
    }
    FakeSwitcher {
        id: switcher
    }
    ListModel {
        id: devices
    }
    // The main window as far as the page reads it.
    QtObject {
        id: fakeHost
        property real xScale: 1
        property real yScale: 1
        property var mainPage: QtObject {
            property bool lastSearchRanged: true
        }
    }

    AutoAssign {
        id: page
        width: top.width
        height: top.height
        visible: true
        ctrl: fakeCtrl
        devicesModel: devices
        devicesModelCtrl: fakeCtrl
        ownerSwitcher: switcher
        hostWindow: fakeHost
    }

    TestCase {
        name: "AssignIpPage"
        when: windowShown

        function child(name) {
            var item = findChild(page, name);
            verify(item !== null, "no item " + name);
            return item;
        }
        function input(name) {
            return child(name);
        }
        function fill(values) {
            var names = ["ipSrcInputBox", "ipDstInputBox", "submaskInputBox", "gatewayInputBox",
                         "dns1InputBox", "dns2InputBox"];
            for (var i = 0; i < names.length; ++i)
                input(names[i]).text = values[i] !== undefined ? values[i] : "";
        }
        function closeWindows() {
            var names = ["confirmFixIpWindow", "unknownWindow", "warningWindow"];
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
            closeWindows();
            fakeCtrl.numDevices = 3;
            fakeCtrl.numSkipped = 0;
            fakeCtrl.numFailed = 0;
            fakeCtrl.working = false;
            page.assignMode = page.typeDhcp;
            fill([]);
            fakeCtrl.clear();
            switcher.answers = [];
        }
        function cleanup() {
            closeWindows();
        }

        function test_applyEnabled_data() {
            var ok = ["10.0.0.10", "10.0.0.20", "255.255.255.0", "10.0.0.1", "", ""];
            return [
                { tag: "dhcp needs no input", mode: "DHCP", values: [], devices: 2, skipped: 0, enabled: true },
                { tag: "dhcp with every device skipped", mode: "DHCP", values: [], devices: 2, skipped: 2, enabled: false },
                { tag: "dhcp without devices", mode: "DHCP", values: [], devices: 0, skipped: 0, enabled: false },
                { tag: "range complete, dns empty", mode: "IP range", values: ok, devices: 2, skipped: 0, enabled: true },
                { tag: "range without start", mode: "IP range", values: ["", "10.0.0.20", "255.255.255.0", "10.0.0.1"], devices: 2, skipped: 0, enabled: false },
                { tag: "fixed ignores the hidden start", mode: "Fixed IP", values: ["", "10.0.0.20", "255.255.255.0", "10.0.0.1"], devices: 2, skipped: 0, enabled: true },
                { tag: "fixed without gateway", mode: "Fixed IP", values: ["", "10.0.0.20", "255.255.255.0", ""], devices: 2, skipped: 0, enabled: false },
                { tag: "fixed with a bad mask", mode: "Fixed IP", values: ["", "10.0.0.20", "0.255.255.0", "10.0.0.1"], devices: 2, skipped: 0, enabled: false },
                { tag: "fixed with a bad dns", mode: "Fixed IP", values: ["", "10.0.0.20", "255.255.0.0", "10.0.0.1", "10.0.0"], devices: 2, skipped: 0, enabled: false },
                { tag: "fixed with both dns", mode: "Fixed IP", values: ["", "10.0.0.20", "255.255.0.0", "10.0.0.1", "8.8.8.8", "8.8.4.4"], devices: 1, skipped: 0, enabled: true },
                { tag: "address 0 in the first part", mode: "Fixed IP", values: ["", "0.0.0.20", "255.255.0.0", "10.0.0.1"], devices: 1, skipped: 0, enabled: false }
            ];
        }
        function test_applyEnabled(data) {
            page.assignMode = data.mode;
            fakeCtrl.numDevices = data.devices;
            fakeCtrl.numSkipped = data.skipped;
            fill(data.values);
            compare(child("applyButton").enabled, data.enabled);
        }

        function test_inputsShownByMode_data() {
            return [
                { tag: "dhcp", mode: "DHCP", src: false, dst: false, dstCaption: "" },
                { tag: "fixed", mode: "Fixed IP", src: false, dst: true, dstCaption: "IP" },
                { tag: "range", mode: "IP range", src: true, dst: true, dstCaption: "To" }
            ];
        }
        function test_inputsShownByMode(data) {
            page.assignMode = data.mode;
            compare(input("ipSrcInputBox").parent.visible, data.src);
            compare(input("ipDstInputBox").parent.visible, data.dst);
            compare(input("dns2InputBox").parent.visible, data.dst);
            if (data.dst)
                compare(input("ipDstInputBox").parent.caption, data.dstCaption);
        }

        function test_rangeIsPutInOrderBeforeTheCall_data() {
            return [
                { tag: "reversed", from: "192.168.1.50", to: "192.168.1.10", first: "192.168.1.10", last: "192.168.1.50" },
                { tag: "in order", from: "192.168.1.10", to: "192.168.1.50", first: "192.168.1.10", last: "192.168.1.50" },
                // Compared as numbers, not as texts: "9" sorts after "10" as a text.
                { tag: "numeric, not textual", from: "10.0.0.10", to: "10.0.0.9", first: "10.0.0.9", last: "10.0.0.10" },
                { tag: "an earlier part decides", from: "10.0.2.1", to: "10.0.1.200", first: "10.0.1.200", last: "10.0.2.1" }
            ];
        }
        function test_rangeIsPutInOrderBeforeTheCall(data) {
            page.assignMode = page.typeRange;
            fill([data.from, data.to, "255.255.255.0", "192.168.1.1", "", ""]);
            child("applyButton").apply();
            var calls = fakeCtrl.callsOf("assignIpRange");
            compare(calls.length, 1);
            compare(calls[0][0], data.first);
            compare(calls[0][1], data.last);
            compare(input("ipSrcInputBox").text, data.first);
            compare(input("ipDstInputBox").text, data.last);
            // The main page's last search was a range search; the time covers three devices.
            compare(calls[0][6], true);
            compare(calls[0][7], 10);
        }

        function test_fixedAddressAsksFirstForSeveralDevices_data() {
            return [
                { tag: "one device", devices: 1, skipped: 0, asks: false },
                { tag: "two devices", devices: 2, skipped: 0, asks: true },
                { tag: "two, one skipped", devices: 2, skipped: 1, asks: false }
            ];
        }
        function test_fixedAddressAsksFirstForSeveralDevices(data) {
            fakeCtrl.numDevices = data.devices;
            fakeCtrl.numSkipped = data.skipped;
            page.assignMode = page.typeFixed;
            fill(["", "10.0.0.20", "255.255.0.0", "10.0.0.1", "8.8.8.8", ""]);
            page.apply();
            var confirm = child("confirmFixIpWindow");
            compare(confirm.visible, data.asks);
            if (data.asks) {
                compare(fakeCtrl.callsOf("assignFixedIp").length, 0);
                compare(confirm.leftButton.btnText, "Apply");
                confirm.leftButton.apply();
            }
            var calls = fakeCtrl.callsOf("assignFixedIp");
            compare(calls.length, 1);
            compare(calls[0].slice(0, 5), ["10.0.0.20", "255.255.0.0", "10.0.0.1", "8.8.8.8", ""]);
        }

        function test_declinedQuestionAssignsNothing() {
            page.assignMode = page.typeFixed;
            fill(["", "10.0.0.20", "255.255.0.0", "10.0.0.1"]);
            page.apply();
            var confirm = child("confirmFixIpWindow");
            verify(confirm.visible);
            confirm.rightButton.apply();
            verify(!confirm.visible);
            compare(fakeCtrl.callsOf("assignFixedIp").length, 0);
        }

        function test_onlyFailedBoxShowsCheckedAfterFailures() {
            var box = child("onlyFailedCheckBox");
            verify(!box.visible);
            fakeCtrl.numFailed = 2;
            verify(box.visible);
            verify(box.checked);
            box.toggle();
            verify(!box.checked);
            page.apply();
            compare(fakeCtrl.callsOf("applyOnlyToFailed"), [[false]]);
            // A later run leaves no failures, the next one some: the box is checked again.
            fakeCtrl.numFailed = 0;
            fakeCtrl.numFailed = 1;
            verify(box.checked);
            page.apply();
            compare(fakeCtrl.callsOf("applyOnlyToFailed")[1], [true]);
            compare(fakeCtrl.callsOf("assignDhcp").length, 2);
        }

        function test_hiddenOnlyFailedBoxDoesNotApply() {
            page.apply();
            compare(fakeCtrl.callsOf("applyOnlyToFailed"), [[false]]);
        }

        function test_enterInAddressInputApplies() {
            page.assignMode = page.typeFixed;
            fakeCtrl.numDevices = 1;
            fill(["", "10.0.0.20", "255.255.0.0", "10.0.0.1"]);
            input("gatewayInputBox").enterPressed();
            compare(fakeCtrl.callsOf("assignFixedIp").length, 1);
            // Not while an input is refused.
            input("gatewayInputBox").text = "10.0";
            input("gatewayInputBox").enterPressed();
            compare(fakeCtrl.callsOf("assignFixedIp").length, 1);
        }

        function test_startFailureTexts_data() {
            return [
                { tag: "too few addresses", code: 5, text: "IP addresses is less than selected devices. Add more IP addresses before assigning to selected devices." },
                { tag: "invalid range", code: 4, text: "Unknown failure" },
                { tag: "unknown", code: 0, text: "Unknown failure" }
            ];
        }
        function test_startFailureTexts(data) {
            fakeCtrl.startFailed(data.code);
            var w = child("unknownWindow");
            verify(w.visible);
            compare(w.warningText, data.text);
            verify(!w.leftButton.visible);
        }

        function test_leaveQuestionWhileWorking_data() {
            return [
                { tag: "leave", left: true, resumed: [true], aborted: 1 },
                { tag: "stay", left: false, resumed: [false], aborted: 0 }
            ];
        }
        function test_leaveQuestionWhileWorking(data) {
            verify(!page.isBlocking(false));
            fakeCtrl.working = true;
            verify(page.isBlocking(false));
            verify(!findChild(page, "assignContent").enabled);
            verify(page.checkBlocking(false));
            var w = child("warningWindow");
            verify(w.visible);
            compare(w.warningText, "Assigning IP to devices. Are you sure you want to leave?");
            compare(w.leftButton.btnText, "Leave");
            if (data.left)
                w.leftButton.apply();
            else
                w.rightButton.apply();
            compare(switcher.answers, data.resumed);
            compare(fakeCtrl.callsOf("abortWorkingCtrl").length, data.aborted);
        }

        function test_leavingClearsTheSearch() {
            var box = child("assignSearchBox");
            box.text = "qd81";
            compare(fakeCtrl.callsOf("setFilter"), [["qd81"]]);
            page.leavePage();
            compare(box.text, "");
            compare(fakeCtrl.names().slice(-2), ["setFilter", "leavePage"]);
            compare(fakeCtrl.callsOf("setFilter").pop(), [""]);
        }

        function test_failedNumberForTests() {
            fakeCtrl.numFailed = 4;
            compare(page.tst_getAssignFailedNumber(), 4);
        }
    }
}
