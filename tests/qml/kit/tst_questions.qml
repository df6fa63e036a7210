import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"

Item {
    id: top
    width: 800
    height: 600

    GlobalProperty { id: _GProperty_ }

    // Stands in for an option list of the batch-setup controller.
    Component {
        id: optionListComponent
        QtObject {
            property var opts: []
            property string currentOpt: ""
            signal dataReset
        }
    }

    QuestionList {
        id: form
        channel: 2
        QuestionInputBox { id: hostName; captionText: "Host name"; uid: "uid_system_hostname"; validator.style: 2; allowEmpty: false; text: "cam" }
        QuestionButton { id: more; captionText: "More" }
        QuestionList {
            id: nested
            QuestionCheckBox { id: led; captionText: "LED indicator"; uid: "uid_system_ledoff" }
            QuestionWarning { captionText: "Settings are not supported by this template" }
        }
        QuestionSubList {
            id: sub
            title: "System time"
            QuestionInputBox { id: ntp; captionText: "NTP server"; uid: "uid_ntp_server"; text: "pool.ntp.org" }
        }
        QuestionDualCheckBox { id: dual; captionText: "Flip"; uid: "uid_flip"; uid2: "uid_mirror"; text: "Flip"; text2: "Mirror" }
    }
    SignalSpy { id: applySpy; target: form; signalName: "apply" }

    QuestionList {
        id: lonely
        QuestionInputBox { id: ok1; captionText: "A"; text: "x" }
        QuestionInputBox { id: bad1; captionText: "B"; validator.style: 1; validator.topBound: 10; allowEmpty: false; text: "99" }
    }

    QuestionTabSwitcher {
        id: perChannel
        y: 400
        pageCtrl: null
        numChannel: 2
        isSameModel: true
        listComponent: Component {
            QuestionList {
                QuestionInputBox { captionText: "Name"; uid: "uid_camera_name"; text: "front" }
            }
        }
    }

    TestCase {
        name: "Questions"
        when: windowShown

        function init() {
            hostName.available = true;
            hostName.text = "cam";
            nested.available = true;
            bad1.available = true;
            bad1.text = "99";
            led.checkBox.checked = false;
        }

        function test_only_bad_child_becomes_unavailable() {
            verify(!lonely.acceptableInput);
            bad1.available = false;
            verify(lonely.acceptableInput, "an unavailable child must not count");
            bad1.available = true;
            verify(!lonely.acceptableInput);
            bad1.text = "5";
            verify(lonely.acceptableInput, "recomputed on the child's acceptableInput");
        }

        function test_acceptability_follows_children_data() {
            return [
                { tag: "all good", host: "cam", ok: true },
                { tag: "bad character", host: "ca&m", ok: false },
                { tag: "empty refused", host: "", ok: false }
            ];
        }
        function test_acceptability_follows_children(row) {
            hostName.text = row.host;
            compare(form.acceptableInput, row.ok);
        }

        function test_output_flattens() {
            var out = form.output();
            compare(out.tag, "list");
            var tags = out.list.map(function(o) { return o.tag === "tree" ? "tree:" + o.title : o.uid; });
            compare(JSON.stringify(tags), JSON.stringify(["uid_system_hostname", "uid_system_ledoff", "tree:System time", "uid_flip", "uid_mirror"]),
                    "button and warning left out, nested list flattened, sub-list kept as a tree, dual box as two items");
            var first = out.list[0];
            compare(first.caption, "Host name");
            compare(first.value, "cam");
            compare(first.channel, 2, "channel from the enclosing list");
            compare(first.warning, false);
            compare(out.list[1].value, "Unchecked");
            compare(out.list[2].list[0].uid, "uid_ntp_server");
            compare(out.list[2].enable, true);
            compare(out.list[3].caption, "Flip;Flip");
            compare(out.list[4].caption, "Flip;Mirror");
        }

        function test_output_leaves_out_unavailable() {
            nested.available = false;
            hostName.available = false;
            var uids = form.output().list.map(function(o) { return o.uid === undefined ? o.title : o.uid; });
            verify(uids.indexOf("uid_system_hostname") < 0);
            verify(uids.indexOf("uid_system_ledoff") < 0);
        }

        function test_warning_flag_in_output() {
            hostName.text = "a;b";
            compare(form.output().list[0].warning, true);
        }

        function test_tab_switcher_output() {
            perChannel.isSameModel = true;
            var out = perChannel.output().list;
            compare(out.length, 2);
            compare(out[0].tag, "tree");
            compare(out[0].title, "Channel 1");
            compare(out[1].title, "Channel 2");
            compare(out[0].list[0].channel, 0);
            compare(out[1].list[0].channel, 1, "each instance gets its own channel");
            perChannel.isSameModel = false;
            compare(perChannel.output().list.length, 0, "nothing while the models differ");
            verify(findChild(perChannel, "sameModelWarning").visible);
            perChannel.isSameModel = true;
        }

        function test_enter_applies() {
            applySpy.clear();
            hostName.inputBox.forceActiveFocus();
            keyClick(Qt.Key_Return);
            compare(applySpy.count, 1);
            hostName.text = "a&b";
            hostName.inputBox.forceActiveFocus();
            keyClick(Qt.Key_Return);
            compare(applySpy.count, 1, "an unacceptable text does not apply");
        }

        function test_check_box_writes_option_data() {
            return [
                { tag: "plain", reverse: false, checkedWrites: "1", uncheckedWrites: "0" },
                { tag: "reversed", reverse: true, checkedWrites: "0", uncheckedWrites: "1" }
            ];
        }
        function test_check_box_writes_option(row) {
            var list = createTemporaryObject(optionListComponent, top, { opts: ["0", "1"], currentOpt: "0" });
            led.reverseToDevicePack = row.reverse;
            led.devicePackUISet.optionList = list;
            led.devicePackUISet.reload();
            led.setChecked(true);
            compare(list.currentOpt, row.checkedWrites);
            led.setChecked(false);
            compare(list.currentOpt, row.uncheckedWrites);
            list.currentOpt = row.checkedWrites;
            verify(led.checked, "reads the option back");
            led.devicePackUISet.optionList = null;
            led.reverseToDevicePack = false;
        }

        function test_option_map() {
            var list = createTemporaryObject(optionListComponent, top, { opts: ["disable", "hourly", "odd"], currentOpt: "hourly" });
            var ui = ntp.devicePackUISet;
            ui.optionStringMap = { "disable": "Disable", "hourly": "Hourly" };
            ui.optionList = list;
            ui.reload();
            compare(JSON.stringify(ui.opts), JSON.stringify(["Disable", "Hourly"]), "unmapped options dropped");
            compare(ui.currentOpt, "Hourly");
            ui.currentOpt = "Disable";
            compare(list.currentOpt, "disable", "written back as the device-pack option");
            ui.optionList = null;
            ui.optionStringMap = null;
        }
    }
}
