import QtQuick 2.15

// Stands in for the batch-setup page controller: option lists by (channel, uid), the template's
// properties and a record of the calls the pages make.
QtObject {
    id: root

    property int numChannel: 1
    property bool isSameModel: true
    property bool supportSmartStream2: true
    property int digitalInputCounts: 0
    property int digitalOutputCounts: 0
    property string currentTemplateInfo: ""
    property int pageStatus: -1
    property int errorCount: 0
    property int progress: 0
    property string statusKey: "batchSetup"
    property var lists: ({})
    property var uidList: []
    property bool dirty: false
    property var customize: []
    property string jsFile: ""
    property var calls: []
    // The channels the model script ran for.
    property var scriptChannels: []

    signal readCurrentOptionFromCameraCompleted(int iResult)
    signal readCurrentOptionFromFileCompleted(int iResult)
    signal devicesRestartingAfterApplied(bool bRestarting)
    signal startFailed(int code)
    signal completed

    // The controller as the pages see it: QML methods of a fake cannot be named GetUISet, so the
    // pages get this object, whose members read through to the fake (bindings follow them).
    readonly property var api: {
        var a = {};
        var names = ["numChannel", "isSameModel", "supportSmartStream2", "digitalInputCounts", "digitalOutputCounts",
                     "currentTemplateInfo", "pageStatus", "errorCount", "progress", "statusKey"];
        names.forEach(function(n) {
            Object.defineProperty(a, n, { get: function() { return root[n]; } });
        });
        var methods = ["setUidList", "isOptionListDirty", "resetOptionListDirtyBit", "customizeSettings",
                       "getPasswordPolcyRule", "getDevicePackDynamicJSFilename", "enterPage", "leavePage", "start",
                       "startOnFailed", "abortSetDevices", "readCurrentOptionFromCamera", "importCurrentOptionsFromUrl",
                       "exportCurrentOptionsToUrl", "lastExportOptionPath"];
        methods.push("scriptRan");
        methods.forEach(function(m) { a[m] = function() { return root[m].apply(root, arguments); }; });
        a.GetUISet = function(channel, uid) { return root.getUISet(channel, uid); };
        return a;
    }

    property Component optionList: Component {
        QtObject {
            property var opts: []
            property string currentOpt: ""
            signal dataReset
        }
    }

    function define(channel, uid, opts, current) {
        var key = channel + ":" + uid;
        var list = lists[key];
        if (!list) {
            list = optionList.createObject(root);
            lists[key] = list;
        }
        list.opts = opts;
        list.currentOpt = current;
        return list;
    }
    function value(channel, uid) {
        var list = lists[channel + ":" + uid];
        return list ? list.currentOpt : undefined;
    }
    function clear() {
        for (var k in lists)
            lists[k].destroy();
        lists = {};
        calls = [];
        uidList = [];
        scriptChannels = [];
        jsFile = "";
        dirty = false;
    }
    function record(name) {
        var c = calls;
        c.push(name);
        calls = c;
    }

    function getUISet(channel, uid) { return lists[channel + ":" + uid] || null; }
    function setUidList(list) { uidList = list; record("setUidList"); }
    function isOptionListDirty() { return dirty; }
    function resetOptionListDirtyBit() { dirty = false; record("resetOptionListDirtyBit"); }
    function customizeSettings() { return customize; }
    function getPasswordPolcyRule() { return ({}); }
    function getDevicePackDynamicJSFilename() { return jsFile; }
    function scriptRan(channel) { var c = scriptChannels; c.push(channel); scriptChannels = c; }
    function enterPage() { record("enterPage"); }
    function leavePage() { record("leavePage"); }
    function start() { record("start"); }
    function startOnFailed() { record("startOnFailed"); }
    function abortSetDevices() { record("abortSetDevices"); }
    function readCurrentOptionFromCamera() { record("readCurrentOptionFromCamera"); return true; }
    function importCurrentOptionsFromUrl(url) { record("importCurrentOptionsFromUrl"); return true; }
    function exportCurrentOptionsToUrl(url) { record("exportCurrentOptionsToUrl"); return true; }
    function lastExportOptionPath() { return "file:///tmp"; }
}
