import QtQuick 2.15

// Stands in for mainPageCtrl: records every call and lets the test emit the controller's signals.
QtObject {
    property real progress: 0
    property var calls: []
    property var failedImport: []
    property bool addResult: true
    property bool searchResult: true

    signal devicesFound
    signal searchStopped
    signal addDeviceFinished
    signal addDeviceSucceeded
    signal addDeviceFailed(int eErr)
    signal importDevicesFinished
    signal importFileError
    signal someImportFailed
    signal needToSetPassword
    signal authorizing
    signal authorizeStopped

    function record(name, args) {
        var list = calls.slice();
        list.push({ name: name, args: args });
        calls = list;
    }
    // The calls of one method, in order, as argument lists.
    function callsOf(name) {
        var out = [];
        for (var i = 0; i < calls.length; ++i) {
            if (calls[i].name === name)
                out.push(calls[i].args);
        }
        return out;
    }
    function reset() {
        calls = [];
        failedImport = [];
        addResult = true;
        searchResult = true;
    }

    function setNVOnly(b) { record("setNVOnly", [b]); }
    function startSearchDevices() { record("startSearchDevices", []); return searchResult; }
    function startSearchIPRangeDevices(start, end, seconds) {
        record("startSearchIPRangeDevices", [start, end, seconds]);
        return searchResult;
    }
    function userStops() { record("userStops", []); }
    function authorize(user, password) { record("authorize", [user, password]); }
    function leavePage() { record("leavePage", []); }
    function setNVRSelectable(b) { record("setNVRSelectable", [b]); }
    function openWebPage(url) { record("openWebPage", [String(url)]); }
    function addDevice(ip, port) { record("addDevice", [ip, port]); return addResult; }
    function importDevicesFromUrl(url) { record("importDevicesFromUrl", [String(url)]); return true; }
    function getFailedImport() { return failedImport; }
    function getPasswordPolicyRuleForSetNewPassword(index) {
        record("getPasswordPolicyRuleForSetNewPassword", [index]);
        return { minPasswordLength: 8, maxPasswordLength: 64 };
    }
    function setNewFWPassword(password) { record("setNewFWPassword", [password]); }
}
