import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/OstraQuick"

Item {
    id: top
    width: 600
    height: 400

    GlobalProperty { id: _GProperty_ }

    CorvaneValidator { id: validator }

    CorvaneInputBox { id: box; x: 10; y: 10; width: 200 }
    SignalSpy { id: acceptSpy; target: box; signalName: "inputAccept" }
    SignalSpy { id: enterSpy; target: box; signalName: "enterPressed" }

    Component {
        id: zyrBox
        ZyrInputBox {}
    }

    TestCase {
        name: "Validation"
        when: windowShown

        function setValidator(v, row) {
            v.style = row.style;
            v.topBound = row.top !== undefined ? row.top : 65535;
            v.bottomBound = row.bottom !== undefined ? row.bottom : 0;
            v.minimumLength = row.minimum !== undefined ? row.minimum : 0;
            v.exception = row.exception !== undefined ? row.exception : [];
        }

        // Each row: a style with its settings and texts it must accept or refuse.
        function test_accept_data() {
            return [
                { tag: "1 port 0-65535", style: 1, bottom: 0, top: 65535, good: ["0", "80", "65535"], bad: ["", "65536", "a", "-1"] },
                { tag: "1 with exception", style: 1, bottom: 10, top: 20, exception: [0], good: ["0", "10", "20"], bad: ["9", "21", ""] },
                { tag: "6 high port", style: 6, good: ["1025", "65535"], bad: ["1024", "65536", "", "80"] },
                { tag: "9 even high port", style: 9, good: ["1026", "65534"], bad: ["1025", "1024", "65535", "", "65536"] },
                { tag: "9 exception", style: 9, exception: [0], good: ["0"], bad: ["1"] },
                { tag: "2 user name", style: 2, good: ["admin", "a b"], bad: ["", "a&b", "x'", "a(b)"] },
                { tag: "2 minimum 3", style: 2, minimum: 3, good: ["abc"], bad: ["ab", ""] },
                { tag: "3 host", style: 3, good: ["192.168.0.1", "cam-1.local"], bad: ["cam-", "cam.", "", "a_b"] },
                { tag: "4 ipv4", style: 4, good: ["192.168.0.1"], bad: ["0.1.2.3", "192.168.0", ""] },
                { tag: "5 ipv6", style: 5, good: ["fe80::1", "2001:0db8:85a3:0042:1000:8a2e:0370:7334"], bad: ["fe80:::1", ""] },
                { tag: "7 mask", style: 7, good: ["255.255.255.0"], bad: ["0.0.0.0", "256.0.0.0"] },
                { tag: "8 short host", style: 8, good: ["abc"], bad: ["abc-", new Array(42).join("a")] },
                { tag: "11 password", style: 11, good: ["x", new Array(65).join("p")], bad: ["", new Array(66).join("p")] },
                { tag: "other style", style: 42, good: ["", "&<>"], bad: [] }
            ];
        }
        function test_accept(row) {
            setValidator(validator, row);
            for (var i = 0; i < row.good.length; ++i)
                verify(validator.accept(row.good[i]), "should accept \"" + row.good[i] + "\"");
            for (var j = 0; j < row.bad.length; ++j)
                verify(!validator.accept(row.bad[j]), "should refuse \"" + row.bad[j] + "\"");
        }

        function test_settings_data() {
            return [
                { tag: "1", style: 1, top: 65535, regExp: 4, length: 6, sync: true },
                { tag: "1 top 999", style: 1, top: 999, regExp: 4, length: 4, sync: true },
                { tag: "2", style: 2, regExp: 27, length: 32767, sync: false },
                { tag: "3", style: 3, regExp: 28, length: 128, sync: false },
                { tag: "4", style: 4, regExp: 7, length: 32767, sync: true },
                { tag: "5", style: 5, regExp: 9, length: 32767, sync: true },
                { tag: "6", style: 6, regExp: 4, length: 6, sync: true },
                { tag: "7", style: 7, regExp: 8, length: 32767, sync: true },
                { tag: "8", style: 8, regExp: 28, length: 40, sync: false },
                { tag: "9", style: 9, regExp: 4, length: 6, sync: true },
                { tag: "11", style: 11, regExp: 26, length: 64, sync: false },
                { tag: "0", style: 0, regExp: 0, length: 32767, sync: false }
            ];
        }
        function test_settings(row) {
            setValidator(validator, row);
            compare(validator.regExpStyle, row.regExp);
            compare(validator.maximumLength, row.length);
            compare(validator.syncValidator, row.sync);
        }

        function test_error_text_data() {
            var notAllowed = "Characters are not allowed: ['], [\"], [<], [>], [&], [=], [;], [`], [|], [$], [(], [)]";
            var allowed = "Characters are allowed: [0-9], [a-z], [A-Z], [-], [.].\n[-] or [.] cannot be the last character";
            return [
                { tag: "1", style: 1, bottom: 0, top: 65535, text: "Only numbers are allowed:0 - 65535" },
                { tag: "1 exceptions", style: 1, bottom: 1, top: 10, exception: [0, 99], text: "Only numbers are allowed:0, 99, 1 - 10" },
                { tag: "6", style: 6, text: "Only numbers are allowed:1025 - 65535" },
                { tag: "9", style: 9, text: "Only numbers are allowed:1025 - 65535\nPort must be an even number" },
                { tag: "2", style: 2, text: notAllowed },
                { tag: "2 minimum", style: 2, minimum: 8, text: notAllowed + "\nMinimum 8 characters are required" },
                { tag: "3", style: 3, text: allowed },
                { tag: "8", style: 8, text: allowed },
                { tag: "5", style: 5, text: "Characters are allowed: [0-9], [a-f], [:]. \nIPv6 address format: 2001:0db8:85a3:0042:1000:8a2e:0370:7334" },
                { tag: "11", style: 11, text: "Invalid password format" },
                { tag: "4", style: 4, text: "" },
                { tag: "7", style: 7, text: "" }
            ];
        }
        function test_error_text(row) {
            setValidator(validator, row);
            compare(validator.errorText, row.text);
        }

        function typeInto(b, text) {
            b.text = "";
            b.edited = false;
            b.forceActiveFocus();
            for (var i = 0; i < text.length; ++i)
                keyClick(text.charAt(i));
        }

        // Typing restricted by the expression: letters never reach a number box.
        function test_typing_restricted() {
            setValidator(box.validator, { style: 1, bottom: 0, top: 65535 });
            typeInto(box, "12a3");
            compare(box.text, "123");
            typeInto(box, "6553600");
            compare(box.text, "655360", "limit is the top bound's digits plus one");
            verify(!box.extendAcceptable);
        }

        // Typing restricted by an address expression still lets a whole address be typed, one
        // character at a time, and stops characters that can never fit.
        function test_typing_addresses_data() {
            return [
                { tag: "ipv4", style: 4, typed: "192.168.0.1", shown: "192.168.0.1", ok: true },
                { tag: "ipv4 letters", style: 4, typed: "10.a0.0.1", shown: "10.0.0.1", ok: true },
                { tag: "ipv4 part", style: 4, typed: "10.0.", shown: "10.0.", ok: false },
                { tag: "ipv6", style: 5, typed: "fe80::1", shown: "fe80::1", ok: true },
                { tag: "ipv6 full", style: 5, typed: "2001:0db8:85a3:0042:1000:8a2e:0370:7334", shown: "2001:0db8:85a3:0042:1000:8a2e:0370:7334", ok: true },
                { tag: "mask", style: 7, typed: "255.255.255.0", shown: "255.255.255.0", ok: true }
            ];
        }
        function test_typing_addresses(row) {
            setValidator(box.validator, { style: row.style });
            typeInto(box, row.typed);
            compare(box.text, row.shown);
            compare(box.extendAcceptable, row.ok);
        }

        function test_port_box_data() {
            return [
                { tag: "empty", text: "", ok: false },
                { tag: "too big", text: "65536", ok: false },
                { tag: "zero", text: "0", ok: true },
                { tag: "top", text: "65535", ok: true }
            ];
        }
        function test_port_box(row) {
            setValidator(box.validator, { style: 1, bottom: 0, top: 65535 });
            typeInto(box, row.text);
            compare(box.extendAcceptable, row.ok);
            acceptSpy.clear();
            enterSpy.clear();
            keyClick(Qt.Key_Return);
            compare(enterSpy.count, 1);
            compare(acceptSpy.count, row.ok ? 1 : 0, "Enter accepted a refused text");
        }

        function test_even_port_box() {
            setValidator(box.validator, { style: 9 });
            typeInto(box, "1025");
            verify(!box.extendAcceptable);
            typeInto(box, "1026");
            verify(box.extendAcceptable);
        }

        // Free typing, marked invalid, with the error text as a warning tip while focused.
        function test_user_name_box_shows_tip() {
            setValidator(box.validator, { style: 2 });
            typeInto(box, "ad&min");
            compare(box.text, "ad&min", "style 2 does not restrict typing");
            verify(box.invalid);
            verify(!box.extendAcceptable);
            tryCompare(box.errorTip, "shown", true, 1000);
            verify(box.errorTip.tipText.indexOf("Characters are not allowed") === 0);
            typeInto(box, "admin");
            verify(!box.invalid);
            tryCompare(box.errorTip, "shown", false, 1000);
        }

        function test_untouched_empty_box_is_not_marked() {
            setValidator(box.validator, { style: 2 });
            box.text = "";
            box.edited = false;
            verify(!box.extendAcceptable);
            verify(!box.invalid);
        }

        function test_mask_data() {
            return [
                { tag: "plain", style: 0, mask: false, masked: false },
                { tag: "expression 1", style: 1, mask: false, masked: true },
                { tag: "expression 26", style: 26, mask: false, masked: true },
                { tag: "passwordMask", style: 2, mask: true, masked: true }
            ];
        }
        function test_mask(row) {
            var b = createTemporaryObject(zyrBox, top, { inputStyle: row.style, passwordMask: row.mask });
            compare(b.inputBoxTxtInfo.echoMode === TextInput.Password, row.masked);
        }
    }
}
