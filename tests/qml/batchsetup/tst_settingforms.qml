import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"

Item {
    id: top
    width: 1000
    height: 700

    GlobalProperty { id: _GProperty_ }
    FakeBatchSetupCtrl { id: fake }
    // Found by the forms' own lookup of the controller's context name.
    readonly property var batchSetupPageCtrl: fake.api

    property var form: null

    function makeForm(name) {
        var c = Qt.createComponent("qrc:/src/qml/BatchSetup/Settings/" + name + ".qml");
        if (c.status !== Component.Ready)
            console.log(c.errorString());
        var f = c.createObject(top, { "visible": true, "width": 800, "height": 600 });
        return f;
    }
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
    function uids(list) {
        var out = [];
        for (var i = 0; i < list.length; ++i) {
            if (list[i].tag === "tree")
                out.push(list[i].title + "[" + uids(list[i].list).join(",") + "]");
            else
                out.push(list[i].uid);
        }
        return out;
    }

    TestCase {
        name: "SettingForms"
        when: windowShown

        function cleanup() {
            if (top.form)
                top.form.destroy();
            top.form = null;
            fake.clear();
            fake.numChannel = 1;
            fake.isSameModel = true;
            fake.digitalInputCounts = 0;
            fake.digitalOutputCounts = 0;
        }

        function test_every_form_loads_data() {
            return [
                { tag: "HostNameAndTime" }, { tag: "DIDO" }, { tag: "UserAccount" }, { tag: "HTTPS" },
                { tag: "NetworkTypeAndPort" }, { tag: "StreamingProtocols" }, { tag: "QoS" }, { tag: "SNMP" },
                { tag: "ImageSetting" }, { tag: "Video" }, { tag: "Audio" }, { tag: "MotionDetection" },
                { tag: "CustomizedSettings" }
            ];
        }
        function test_every_form_loads(row) {
            top.form = makeForm(row.tag);
            verify(top.form !== null, row.tag + " must load");
            compare(top.form.pageName, row.tag);
            verify(top.form.output().tag === "list");
        }
    }
}
