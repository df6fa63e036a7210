import QtQuick 2.15
import QtQuick.Window 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/MainPage"

// The range box as the user drives it: typing into the address fields, showing and hiding the
// second address, and what "Search" does with a range that is small, long or too large.
Item {
    id: top
    width: 600
    height: 300

    GlobalProperty {
        id: _GProperty_
    }

    AddressBox {
        id: address
        namePrefix: "testField"
        width: 220
        wildcardAllowed: true
    }

    IpRangeBox {
        id: box
    }

    SignalSpy {
        id: chosen
        target: box
        signalName: "rangeChosen"
    }

    TestCase {
        name: "IpRangeBox"
        when: windowShown

        function init() {
            box.hideSecond();
            box.fromBox.setFields(["", "", "", ""]);
            box.noticeWindow.close();
            box.pendingPlan = null;
            chosen.clear();
            address.wildcardAllowed = true;
            address.setFields(["", "", "", ""]);
            // A notice of an earlier case may have taken the activation; keys go to the active
            // window.
            top.Window.window.requestActivate();
            tryVerify(function() { return top.Window.window.active; });
        }

        function field(i) {
            return findChild(address, "testField" + i);
        }

        function test_typing_data() {
            return [
                { tag: "dots move on", keys: "192.168.0.*", fields: ["192", "168", "0", "*"] },
                { tag: "spaces move on", keys: "10 0 0 5", fields: ["10", "0", "0", "5"] },
                { tag: "a number above 255 stops at the last good text", keys: "25.256",
                  fields: ["25", "25", "", ""] },
                { tag: "letters are refused", keys: "1a2.b", fields: ["12", "", "", ""] },
                { tag: "a fourth digit is refused", keys: "1234", fields: ["123", "", "", ""] }
            ];
        }
        function test_typing(data) {
            field(0).forceActiveFocus();
            for (var i = 0; i < data.keys.length; ++i) {
                var c = data.keys.charAt(i);
                if (c === ".")
                    keyClick(Qt.Key_Period);
                else if (c === " ")
                    keyClick(Qt.Key_Space);
                else
                    keyClick(c);
            }
            compare(address.fields, data.fields);
        }

        function test_wildcard_only_with_one_box() {
            address.wildcardAllowed = false;
            field(0).forceActiveFocus();
            keyClick("*");
            keyClick("7");
            compare(address.fields[0], "7");
        }

        function test_backspace_in_empty_field_goes_back() {
            field(0).forceActiveFocus();
            keyClick("1");
            keyClick(Qt.Key_Period);
            verify(field(1).activeFocus);
            keyClick(Qt.Key_Backspace);
            verify(field(0).activeFocus);
        }

        function test_second_box_drops_wildcards_and_hiding_resets_it() {
            box.fromBox.setFields(["192", "*", "0", "*"]);
            box.showSecond();
            compare(box.fromBox.fields, ["192", "0", "0", "0"]);
            verify(!box.fromBox.wildcardAllowed);
            box.toBox.setFields(["192", "0", "9", "9"]);
            box.hideSecond();
            compare(box.toBox.fields, ["0", "0", "0", "0"]);
            verify(box.fromBox.wildcardAllowed);
        }

        function test_commit_data() {
            return [
                { tag: "a wildcard searches at once", from: ["192", "168", "0", "*"], to: null,
                  outcome: "search", start: "192.168.0.0", end: "192.168.0.255", time: 10 },
                { tag: "a reversed pair is swapped", from: ["10", "0", "0", "20"],
                  to: ["10", "0", "0", "1"], outcome: "search", start: "10.0.0.1",
                  end: "10.0.0.20", time: 10 },
                { tag: "a long range asks first", from: ["10", "0", "0", "0"],
                  to: ["10", "0", "255", "255"], outcome: "ask", start: "10.0.0.0",
                  end: "10.0.255.255", time: 295 },
                { tag: "too many addresses are refused", from: ["10", "0", "0", "0"],
                  to: ["10", "15", "255", "255"], outcome: "refuse" },
                { tag: "no wildcard in one box does nothing", from: ["10", "0", "0", "1"],
                  to: null, outcome: "nothing" }
            ];
        }
        function test_commit(data) {
            box.fromBox.setFields(data.from);
            if (data.to) {
                box.showSecond();
                box.toBox.setFields(data.to);
            }
            box.commit();
            var notice = box.noticeWindow;
            switch (data.outcome) {
            case "search":
                compare(chosen.count, 1);
                compare(Array.prototype.slice.call(chosen.signalArguments[0]), [data.start, data.end, data.time]);
                verify(!notice.visible);
                break;
            case "ask":
                compare(chosen.count, 0);
                tryVerify(function() { return notice.visible; });
                compare(notice.warningText, "- Notice -\nIt will takes over 3 minutes to search "
                        + "the IP range (65535 devices) you assigned.");
                compare(notice.leftBtnText, "Search");
                compare(notice.rightBtnText, "Cancel");
                verify(notice.showLeftButton);
                notice.leftButton.apply();
                compare(chosen.count, 1);
                compare(Array.prototype.slice.call(chosen.signalArguments[0]), [data.start, data.end, data.time]);
                verify(!notice.visible);
                break;
            case "refuse":
                tryVerify(function() { return notice.visible; });
                verify(notice.warningText.indexOf("more than 1000,000 devices") > 0);
                verify(!notice.showLeftButton);
                compare(notice.rightBtnText, "Close");
                notice.rightButton.apply();
                compare(chosen.count, 0);
                break;
            case "nothing":
                verify(!box.canSearch);
                compare(chosen.count, 0);
                verify(!notice.visible);
                break;
            }
        }

        function test_cancel_keeps_the_range_unsearched() {
            box.fromBox.setFields(["10", "0", "0", "0"]);
            box.showSecond();
            box.toBox.setFields(["10", "0", "255", "255"]);
            box.commit();
            tryVerify(function() { return box.noticeWindow.visible; });
            box.noticeWindow.rightButton.apply();
            compare(chosen.count, 0);
            compare(box.pendingPlan, null);
        }
    }
}
