import QtQuick 2.15

// Stands in for CFirmwarePageCtrl: the properties the firmware pages bind to, the signals they
// answer, and every call recorded in order.
QtObject {
    property int pageStatus: -1
    property string statusKey: "firmware"
    property bool isApplyButtonAvailable: false
    property var calls: []

    signal started
    signal completed
    signal startFailed(int iErrorCode)
    signal enterPageFailed(int iErrorCode)
    signal openFileFailed(int eErr)

    function record(name, args) {
        var list = calls.slice();
        list.push({ name: name, args: args });
        calls = list;
    }
    function callsOf(name) {
        var out = [];
        for (var i = 0; i < calls.length; ++i) {
            if (calls[i].name === name)
                out.push(calls[i].args);
        }
        return out;
    }
    function names() {
        return calls.map(function(c) { return c.name; });
    }
    function clear() {
        calls = [];
    }

    function enterPage() { record("enterPage", []); }
    function leavePage() { record("leavePage", []); pageStatus = -1; }
    function setNeedRemoveAfter(b) { record("setNeedRemoveAfter", [b]); }
    function setDisplayAllDevices() { record("setDisplayAllDevices", []); }
    function setDisplayDevices(row) { record("setDisplayDevices", [row]); }
    function setFirmwarePath(row, url) { record("setFirmwarePath", [row, String(url)]); }
    function setScript(b) { record("setScript", [b]); }
    function start(row) { record("start", [row]); }
    function startAll() { record("startAll", []); }
    function startOnFailed(row) { record("startOnFailed", [row]); }
    function cancelWaiting(row) { record("cancelWaiting", [row]); }
}
