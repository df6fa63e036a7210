import QtQuick 2.15

// Stands in for a CPageCtrl (restart, restore, exports, CGI): the properties the pages bind to,
// the signals they answer, and every call recorded.
CallRecorder {
    property int pageStatus: -1
    property int errorCount: 0
    property int progress: 0
    property string statusKey: "restart"

    signal completed
    signal startFailed(int iErrorCode)
    signal enterPageFailed(int iErrorCode)
    signal writeFileFailed

    function enterPage() { record("enterPage", []); }
    function leavePage() { record("leavePage", []); pageStatus = -1; }
    function start(url) { record("start", url === undefined ? [] : [url]); }
    function startOnFailed() { record("startOnFailed", []); }
    function setExcludeGroup(mask) { record("setExcludeGroup", [mask]); }
    function setCgiCmd(cmd) { record("setCgiCmd", [cmd]); }
    function setToFile(b) { record("setToFile", [b]); }
    function setExportRootDirToUrl(url) { record("setExportRootDirToUrl", [url]); return true; }
    function lastDirPath() { return "file:///tmp"; }
    function getLastExportDirUrl() { return "file:///tmp"; }
}
