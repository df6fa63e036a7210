import QtQuick 2.15

// Stands in for assignIpPageCtrl.
CallRecorder {
    property int numFailed: 0
    property int numSkipped: 0
    property int numDevices: 0
    property bool working: false

    signal completed
    signal startFailed(int iErrorCode)
    signal enterPageFailed(int iErrorCode)

    function enterPage() { record("enterPage", []); }
    function leavePage() { record("leavePage", []); }
    function applyOnlyToFailed(b) { record("applyOnlyToFailed", [b]); }
    function assignDhcp() { record("assignDhcp", []); }
    function assignFixedIp(ip, mask, gw, d1, d2, ranged, time) {
        record("assignFixedIp", [ip, mask, gw, d1, d2, ranged, time]);
    }
    function assignIpRange(from, to, mask, gw, d1, d2, ranged, time) {
        record("assignIpRange", [from, to, mask, gw, d1, d2, ranged, time]);
    }
    function abortWorkingCtrl() { record("abortWorkingCtrl", []); working = false; }
    // The devices view's controller calls land here too.
    function setFilter(text) { record("setFilter", [text]); }
    function sortByRole(role, order) { record("sortByRole", [role, order]); }
    function select(row) { return true; }
}
