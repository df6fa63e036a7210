import QtQuick 2.15

// Stands in for CZAPKPageCtrl: the properties the application page and its set-up windows bind
// to, the signals they answer, and every call recorded in order.
QtObject {
    property int pageStatus: -1
    property int errorCount: 0
    property int numDevices: 0
    property bool working: false
    property bool onoff: false
    property int progress: 0
    property string trendExportPath: ""
    property string stereoExportPath: ""
    property var calls: []

    signal searchEnd
    signal completed
    signal startFailed(int iErrorCode)
    signal exportResult(string result)
    signal setModeResult(bool success)

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
    function refresh() { record("refresh", []); }
    function itemClicked(row) { record("itemClicked", [row]); }
    function setCurrentPackage(name) { record("setCurrentPackage", [name]); }
    function clearCurrentModuleStatus() { record("clearCurrentModuleStatus", []); }
    function clearPage() { record("clearPage", []); }
    function clearAllStatus() { record("clearAllStatus", []); }
    function abortWorkingCtrl() { record("abortWorkingCtrl", []); }
    function getSignature(forced) { record("getSignature", [forced]); }
    function setup() { record("setup", []); }
    function remove() { record("remove", []); }
    function turnOnOff(on) { record("turnOnOff", [on]); }
    function setAutoUpdate(isAuto) { record("setAutoUpdate", [isAuto]); }
    function uploadTrendMicroConfig(file) { record("uploadTrendMicroConfig", [file]); }
    function setZAPKExportDir(url) { record("setZAPKExportDir", [String(url)]); }
    function exportTrendMicroLog() { record("exportTrendMicroLog", []); }
    function exportClicked() { record("exportClicked", []); }
    function setStereoExportPackage(name) { record("setStereoExportPackage", [name]); }
    function exportStereo(module, idx, ip) { record("exportStereo", [module, idx, ip]); }
    function uploadStereoConfig(file, module) { record("uploadStereoConfig", [file, module]); }
}
