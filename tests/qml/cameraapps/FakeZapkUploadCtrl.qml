import QtQuick 2.15

// Stands in for the package or licence page controller: the properties the tabs bind to, the
// signals they answer, and every call recorded in order. addFilePath(s) answer the new group's
// row, as the controllers put a new group at the top.
QtObject {
    property int pageStatus: -1
    property string statusKey: "zapkPackage"
    property var calls: []

    signal started
    signal completed
    signal startFailed(int iErrorCode)
    signal enterPageFailed(int iErrorCode)

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
    function leavePage() { record("leavePage", []); }
    function setDisplayAllDevices() { record("setDisplayAllDevices", []); }
    function setDisplayDevices(row) { record("setDisplayDevices", [row]); }
    function addFilePath(url) { record("addFilePath", [String(url)]); return 0; }
    function addFilePaths(list) { record("addFilePaths", [list]); return 0; }
    function start(row) { record("start", [row]); }
    function startOnFailed(row) { record("startOnFailed", [row]); }
    function cancelWaiting(row) { record("cancelWaiting", [row]); }
}
