import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/SendCgi"

// The CGI command dialog against a stand-in page controller: what a send hands over, the retry
// bar while devices failed, and the controller's entry and exit with the dialog's visibility.
Item {
    id: top
    width: 600
    height: 400

    GlobalProperty {
        id: _GProperty_
    }
    FakePageCtrl { id: cgiCtrl; statusKey: "cgiget" }
    ListModel {
        id: devices
        property int count: 1
        ListElement { ipRole: "10.0.0.1"; modelRole: "QD8182"; macRole: "02-A5-7F-00-00-01"; statusRole: -1 }
    }

    SendCgiDialog {
        id: dialog
        pageCtrl: cgiCtrl
        devicesModel: devices
    }

    TestCase {
        name: "SendCgiDialog"
        when: windowShown

        function init() {
            cgiCtrl.pageStatus = -1;
            cgiCtrl.errorCount = 0;
            dialog.show();
            cgiCtrl.clear();
        }
        function cleanup() {
            dialog.close();
        }

        function test_initialCommand() {
            compare(dialog.editor.text, "/cgi-bin/sysinfo.cgi");
            compare(findChild(dialog.contentItem, "boxToFile").checked, false);
        }

        function test_sendHandsOverCommandAndFileChoice_data() {
            return [
                { tag: "query, to file", command: "/cgi-bin/admin/getparam.cgi?system_hostname&system_info_modelname", toFile: true },
                { tag: "path only", command: "/cgi-bin/sysinfo.cgi", toFile: false }
            ];
        }
        function test_sendHandsOverCommandAndFileChoice(data) {
            dialog.editor.text = data.command;
            findChild(dialog.contentItem, "boxToFile").checked = data.toFile;
            findChild(dialog.contentItem, "btnItemDetail").itemBtnClicked();
            compare(cgiCtrl.names(), ["setCgiCmd", "setToFile", "start"]);
            compare(cgiCtrl.callsOf("setCgiCmd"), [[data.command]]);
            compare(cgiCtrl.callsOf("setToFile"), [[data.toFile]]);
        }

        function test_retryBarWhileDevicesFailed_data() {
            return [
                { tag: "none failed", status: 4, errors: 0, bar: false },
                { tag: "some failed", status: 4, errors: 2, bar: true },
                { tag: "running after failures", status: 3, errors: 2, bar: true }
            ];
        }
        function test_retryBarWhileDevicesFailed(data) {
            var bar = findChild(dialog.contentItem, "cgiFailedBar");
            cgiCtrl.pageStatus = data.status;
            cgiCtrl.errorCount = data.errors;
            compare(bar.visible, data.bar);
            if (!data.bar)
                return;
            findChild(bar, "retryButton").clicked();
            compare(cgiCtrl.callsOf("startOnFailed").length, 1);
            // The button's own retry is not the dialog's.
            cgiCtrl.pageStatus = 4;
            findChild(dialog.contentItem, "btnItemDetail").refreshBtnClicked();
            compare(cgiCtrl.callsOf("startOnFailed").length, 1);
        }

        function test_visibilityEntersAndLeaves() {
            dialog.close();
            compare(cgiCtrl.names(), ["leavePage"]);
            dialog.show();
            compare(cgiCtrl.names(), ["leavePage", "enterPage"]);
        }

        function test_failuresShowUnknownFailure_data() {
            return [
                { tag: "start", signal: "startFailed" },
                { tag: "enter", signal: "enterPageFailed" }
            ];
        }
        function test_failuresShowUnknownFailure(data) {
            cgiCtrl[data.signal](0);
            var w = dialog.messageWindow;
            verify(w.visible);
            compare(w.warningText, "Unknown failure");
            w.close();
        }
    }
}
