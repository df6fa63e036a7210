import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"

Item {
    id: top
    width: 400
    height: 300

    GlobalProperty { id: _GProperty_ }

    TestCase {
        name: "GlobalProperty"
        when: windowShown

        function test_table_shape() {
            compare(_GProperty_.inputRegExps.length, 31);
            compare(_GProperty_.inputRegExpNames.length, 31);
            compare(_GProperty_.inputRegExpNames[27], "stringAll");
            compare(_GProperty_.strVersion, "Version 1.0.0.4");
            compare(_GProperty_.get2xPNG("a.png"), "a.png");
        }

        function test_fonts_data() {
            return [
                { tag: "f001", size: 14, bold: false, color: "#ffffff", roboto: false },
                { tag: "f003", size: 14, bold: true, color: "#7f8c8d", roboto: false },
                { tag: "f007", size: 10, bold: true, color: "#ffffff", roboto: false },
                { tag: "f014", size: 18, bold: true, color: "#7f8c8d", roboto: false },
                { tag: "f016", size: 12, bold: false, color: "#bbd0d6", roboto: true },
                { tag: "f017", size: 15, bold: false, color: "#bbd0d6", roboto: true },
                { tag: "fExtendButtonDescript", size: 12, bold: false, color: "#f7f7f7", roboto: false }
            ];
        }
        function test_fonts(row) {
            var f = _GProperty_.fontSet[row.tag];
            verify(f !== undefined);
            compare(f.size, row.size);
            compare(f.bold, row.bold);
            compare(f.color, row.color);
            compare(f.family, row.roboto ? _GProperty_.robotoFamily : _GProperty_.defaultFamily);
        }

        function test_fonts_loaded() {
            tryVerify(function() { return _GProperty_.defaultFamily.indexOf("Droid") >= 0; });
            tryVerify(function() { return _GProperty_.robotoFamily.indexOf("Roboto") >= 0; });
        }

        // Each row: expression number, texts that must match in full, texts that must not.
        function test_expressions_data() {
            var long64 = new Array(65).join("a");
            var long65 = long64 + "a";
            return [
                { tag: "0 all", n: 0, good: ["", "anything <&>"], bad: [] },
                { tag: "1 password", n: 1, good: ["", long64, "p@ss word"], bad: [long65] },
                { tag: "2 email", n: 2, good: ["a@b.com", "first.last+x@mail-1.example.org", "o'k@host"], bad: ["", "a@", "@b.com", "a b@c.d", "a..b@c.d", "a@b.com;"] },
                { tag: "3 emails", n: 3, good: ["a@b.c", "a@b.c;", "a@b.c;d@e.f", "a@b.c;d@e.f;"], bad: ["", ";", "a@b.c;;", "a@b.c d@e.f"] },
                { tag: "4 num", n: 4, good: ["", "0", "0123456789"], bad: ["-1", "1.5", "1a"] },
                { tag: "5 all", n: 5, good: ["", "x"], bad: [] },
                { tag: "6 sysName", n: 6, good: ["", "cam 1_a", long64], bad: [long65, "a-b", "a.b"] },
                { tag: "7 ip", n: 7, good: ["1.0.0.0", "192.168.0.254", "254.254.254.254"], bad: ["0.1.1.1", "255.1.1.1", "1.1.1.255", "1.1.1", "01.1.1.1", "1.1.1.1."] },
                { tag: "8 ipMask", n: 8, good: ["255.255.255.0", "1.0.0.0", "10.0.0.255"], bad: ["0.255.255.0", "256.0.0.0", "255.255.255", "255.255.255.00"] },
                { tag: "9 ipv6", n: 9, good: ["2001:0db8:85a3:0042:1000:8a2e:0370:7334", "::1", "::", "fe80::1", "2001:DB8::8A2E:370:7334", "::ffff:192.168.0.1", "1:2:3:4:5:6:1.2.3.4"], bad: ["", "2001:db8:::1", "1:2:3:4:5:6:7:8:9", "g::1", "1::2::3", "192.168.0.1"] },
                { tag: "10 port", n: 10, good: ["1", "80", "65535", "9999"], bad: ["0", "65536", "080", ""] },
                { tag: "11 duration", n: 11, good: ["5", "60", "999"], bad: ["4", "1000", "05", ""] },
                { tag: "12 keepRecord", n: 12, good: ["1", "999"], bad: ["0", "1000", ""] },
                { tag: "13 presetName", n: 13, good: ["", "a-b.c/d e_f", new Array(31).join("x")], bad: [new Array(32).join("x"), "a&b"] },
                { tag: "14 smtpUser", n: 14, good: ["a", "a.b-c,d@e f"], bad: ["", "a;b", long65] },
                { tag: "15 triggerDuration", n: 15, good: ["3", "99", "180"], bad: ["2", "181", "200"] },
                { tag: "16 userAccount", n: 16, good: ["admin", "a@b.c"], bad: ["", "a/b"] },
                { tag: "17 userNameInCam", n: 17, good: ["", "a^b-c.d@e~f!g$h%i"], bad: ["a b", "a&b", long65] },
                { tag: "18 cameraName", n: 18, good: ["", "Cam-1 front"], bad: ["cam.1", long65] },
                { tag: "19 videoTitle", n: 19, good: ["", "Title !#$%-.@^~ 1"], bad: ["a&b", "a/b", long65] },
                { tag: "20 uploadFolder", n: 20, good: ["", "a", "-", "ab", "a/b c.d/", "dir-"], bad: [".", "/", "a.", "a ", ".a", new Array(66).join("a")] },
                { tag: "21 ftpUser", n: 21, good: ["a", "a b.c-d,e"], bad: ["", "a@b"] },
                { tag: "22 receiverName", n: 22, good: ["", "abc123"], bad: ["a b", "a_b", long65] },
                { tag: "23 hostName", n: 23, good: ["", "Host1"], bad: ["host-1", long65] },
                { tag: "24 presetInterval", n: 24, good: ["1", "10", "12345"], bad: ["0", "01", "", "-1"] },
                { tag: "25 domainName", n: 25, good: ["a", "example.com", "my-host.a1.org"], bad: ["", "-a.com", "a-.com", "a..b", "a.", "a_b.com"] },
                { tag: "26 simplePassword", n: 26, good: ["x", long64], bad: ["", long65] },
                { tag: "27 stringAll", n: 27, good: ["", "admin", "a b#c%d"], bad: ["a'b", "a\"b", "<", ">", "&", "=", ";", "`", "|", "$", "(", ")"] },
                { tag: "28 restrictTail", n: 28, good: ["a", "192.168.0.1", "my-host.local"], bad: ["", "a-", "a.", "a_b", "a b"] },
                { tag: "29 maskWild", n: 29, good: ["0", "255", "*", "10"], bad: ["", "256", "**", "01"] },
                { tag: "30 maskNonWild", n: 30, good: ["", "0", "255"], bad: ["*", "256", "00"] }
            ];
        }
        function test_expressions(row) {
            var re = _GProperty_.inputRegExp(row.n);
            for (var i = 0; i < row.good.length; ++i)
                verify(re.test(row.good[i]), "should match: \"" + row.good[i] + "\"");
            for (var j = 0; j < row.bad.length; ++j)
                verify(!re.test(row.bad[j]), "should not match: \"" + row.bad[j] + "\"");
        }
    }

    // Dialog areas hold the window-wide block while they are active, and only the last one
    // to let go releases it.
    BlockArea { id: blockArea }
    Blockable { id: areaA; width: 50; height: 50; active: false; hostBlockArea: blockArea }
    Blockable { id: areaB; x: 100; width: 50; height: 50; active: false; hostBlockArea: blockArea }
    Rectangle {
        id: behind
        x: 300; y: 200; width: 50; height: 50
        z: -1
        property int presses: 0
        MouseArea { anchors.fill: parent; onPressed: behind.presses++ }
    }

    TestCase {
        name: "Block"
        when: windowShown

        function test_host_block_is_shared() {
            verify(!blockArea.active);
            areaA.active = true;
            verify(blockArea.active);
            areaB.active = true;
            areaA.active = false;
            verify(blockArea.active, "B still holds it");
            areaB.active = false;
            verify(!blockArea.active);
        }

        function test_swallows_input_while_active() {
            behind.presses = 0;
            mouseClick(behind, 10, 10);
            compare(behind.presses, 1);
            areaA.active = true;
            mouseClick(behind, 10, 10);
            compare(behind.presses, 1, "press went through the block");
            areaA.active = false;
            mouseClick(behind, 10, 10);
            compare(behind.presses, 2);
        }
    }
}
