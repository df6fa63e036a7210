.pragma library
// The icon key and text of every row status code (see CCorvaneTableStatus). A code without an
// entry (-1, 1205, anything unknown) shows no icon and no text. The text is both the tooltip of
// the status icon and the line of the device in a list of failed devices; one entry has a tooltip
// of its own.

var statusDataList = [
    { code: 0, icon: "WARNING", text: QT_TR_NOOP("Failed") },
    { code: 100, icon: "", text: "" },
    { code: 101, icon: "LOGIN_FAIL", text: QT_TR_NOOP("Failed to verify user name/password") },
    { code: 102, icon: "LOADING", text: "" },
    { code: 103, icon: "LOADING", text: "" },
    { code: 104, icon: "LOGIN_SUCCESS", text: QT_TR_NOOP("Authorized successfully") },
    { code: 105, icon: "WARNING", text: QT_TR_NOOP("Failed to authorize") },
    { code: 106, icon: "WARNING", text: QT_TR_NOOP("Disconnected") },
    { code: 107, icon: "WARNING", text: QT_TR_NOOP("Disconnected") },
    { code: 108, icon: "NEEDPASSWORD", text: "" },
    { code: 200, icon: "SUCCESS", text: "" },
    { code: 201, icon: "WARNING", text: QT_TR_NOOP("Failed") },
    { code: 202, icon: "WARNING", text: QT_TR_NOOP("Failed") },
    { code: 203, icon: "WARNING", text: QT_TR_NOOP("Session expired. Try again later") },
    { code: 204, icon: "LOADING", text: "" },
    { code: 205, icon: "SUCCESS", text: "" },
    { code: 206, icon: "WARNING", text: QT_TR_NOOP("Failed to apply") },
    { code: 207, icon: "WARNING", text: QT_TR_NOOP("Failed") },
    { code: 208, icon: "WARNING", text: QT_TR_NOOP("Failed to apply") },
    { code: 209, icon: "WARNING", text: QT_TR_NOOP("Failed to verify user name/password") },
    { code: 210, icon: "WARNING", text: QT_TR_NOOP("Session expired. Try again later") },
    { code: 300, icon: "LOADING", text: "" },
    { code: 301, icon: "LOADING", text: "" },
    { code: 302, icon: "SUCCESS", text: QT_TR_NOOP("Assigned successfully") },
    { code: 303, icon: "WARNING", text: QT_TR_NOOP("Unsupported") },
    { code: 304, icon: "WARNING", text: QT_TR_NOOP("Failed to apply") },
    { code: 305, icon: "WARNING", text: QT_TR_NOOP("Failed to verify user name/password") },
    { code: 306, icon: "WARNING", text: QT_TR_NOOP("Session expired. Try again later") },
    { code: 400, icon: "LOADING", text: "" },
    { code: 401, icon: "LOADING", text: "" },
    { code: 402, icon: "LOADING", text: "" },
    { code: 403, icon: "SUCCESS", text: "" },
    { code: 404, icon: "WARNING", text: QT_TR_NOOP("Failed to update") },
    { code: 405, icon: "WARNING", text: QT_TR_NOOP("Failed to update") },
    { code: 406, icon: "WARNING", text: QT_TR_NOOP("File invalid") },
    { code: 407, icon: "WARNING", text: QT_TR_NOOP("Failed to verify user name/password") },
    { code: 408, icon: "WARNING", text: QT_TR_NOOP("Session expired. Try again later") },
    { code: 500, icon: "LOADING", text: "" },
    { code: 501, icon: "LOADING", text: "" },
    { code: 502, icon: "LOADING", text: "" },
    { code: 503, icon: "SUCCESS", text: "" },
    { code: 504, icon: "WARNING", text: QT_TR_NOOP("Failed to update") },
    { code: 505, icon: "WARNING", text: QT_TR_NOOP("Failed to update") },
    { code: 506, icon: "WARNING", text: QT_TR_NOOP("File invalid") },
    { code: 507, icon: "WARNING", text: QT_TR_NOOP("Failed to verify user name/password") },
    { code: 508, icon: "WARNING", text: QT_TR_NOOP("Session expired. Try again later") },
    { code: 600, icon: "LOADING", text: "" },
    { code: 601, icon: "LOADING", text: "" },
    { code: 602, icon: "LOADING", text: "" },
    { code: 603, icon: "SUCCESS", text: "" },
    { code: 604, icon: "WARNING", text: QT_TR_NOOP("Failed to update") },
    { code: 605, icon: "WARNING", text: QT_TR_NOOP("Failed to update") },
    { code: 606, icon: "WARNING", text: QT_TR_NOOP("File invalid") },
    { code: 607, icon: "WARNING", text: QT_TR_NOOP("Failed to verify user name/password") },
    { code: 608, icon: "WARNING", text: QT_TR_NOOP("Session expired. Try again later") },
    { code: 700, icon: "LOADING", text: "" },
    { code: 701, icon: "SUCCESS", text: "" },
    { code: 702, icon: "WARNING", text: QT_TR_NOOP("Failed to restore") },
    { code: 703, icon: "WARNING", text: QT_TR_NOOP("Failed to restore") },
    { code: 704, icon: "WARNING", text: QT_TR_NOOP("Failed to verify user name/password") },
    { code: 705, icon: "WARNING", text: QT_TR_NOOP("Session expired. Try again later") },
    { code: 800, icon: "LOADING", text: "" },
    { code: 801, icon: "LOADING", text: "" },
    { code: 802, icon: "SUCCESS", text: "" },
    { code: 803, icon: "WARNING", text: QT_TR_NOOP("Failed to restart") },
    { code: 804, icon: "WARNING", text: QT_TR_NOOP("Failed to restart") },
    { code: 805, icon: "WARNING", text: QT_TR_NOOP("Failed to verify user name/password") },
    { code: 806, icon: "WARNING", text: QT_TR_NOOP("Session expired. Try again later") },
    { code: 900, icon: "LOADING", text: "" },
    { code: 901, icon: "SUCCESS", text: "" },
    { code: 902, icon: "WARNING", text: QT_TR_NOOP("Failed to export") },
    { code: 903, icon: "WARNING", text: QT_TR_NOOP("Failed") },
    { code: 904, icon: "WARNING", text: QT_TR_NOOP("Failed to verify user name/password") },
    { code: 905, icon: "WARNING", text: QT_TR_NOOP("Session expired. Try again later") },
    { code: 1000, icon: "LOADING", text: "" },
    { code: 1001, icon: "SUCCESS", text: "" },
    { code: 1002, icon: "WARNING", text: QT_TR_NOOP("Failed to export") },
    { code: 1003, icon: "SUCCESS", text: "" },
    { code: 1004, icon: "WARNING", text: QT_TR_NOOP("Failed to write file to disk") },
    { code: 1005, icon: "WARNING", text: QT_TR_NOOP("Failed to verify user name/password") },
    { code: 1006, icon: "WARNING", text: QT_TR_NOOP("Session expired. Try again later") },
    { code: 1100, icon: "LOADING", text: "" },
    { code: 1101, icon: "SUCCESS", text: "" },
    { code: 1102, icon: "WARNING", text: QT_TR_NOOP("Failed to send CGI command") },
    { code: 1103, icon: "WARNING", text: QT_TR_NOOP("Failed to send CGI command") },
    { code: 1104, icon: "WARNING", text: QT_TR_NOOP("Failed to verify user name/password") },
    { code: 1105, icon: "WARNING", text: QT_TR_NOOP("Session expired. Try again later") },
    { code: 1200, icon: "LOADING", text: "" },
    { code: 1201, icon: "SUCCESS", text: "" },
    { code: 1202, icon: "WARNING", text: QT_TR_NOOP("Failed"), tooltip: QT_TR_NOOP("Failed to change package status") },
    { code: 1203, icon: "WARNING", text: QT_TR_NOOP("Failed to verify user name/password") },
    { code: 1204, icon: "WARNING", text: QT_TR_NOOP("Session expired. Try again later") }
];

var iconSources = {
    "SUCCESS": "qrc:/src/qml/res/images/Item_success_Icon.png",
    "LOGIN_SUCCESS": "qrc:/src/qml/res/images/Item_success_mainpage_Icon.png",
    "LOGIN_FAIL": "qrc:/src/qml/res/images/Common_login_fail.png",
    "WARNING": "qrc:/src/qml/res/images/Common_warning_Icon.png",
    "NEEDPASSWORD": "qrc:/src/qml/res/images/Item_addpassword_mainpage_Icon.png"
};

function entryOf(code) {
    if (typeof code !== "number")
        return null;
    for (var i = 0; i < statusDataList.length; ++i) {
        if (statusDataList[i].code === code)
            return statusDataList[i];
    }
    return null;
}

// The failed-list text of code, or "" when it has none.
function statusText(code) {
    var entry = entryOf(code);
    return entry && entry.text !== "" ? qsTr(entry.text) : "";
}

// The tooltip of the status icon of code, or "" when it has none.
function statusTooltip(code) {
    var entry = entryOf(code);
    if (!entry)
        return "";
    if (entry.tooltip !== undefined)
        return qsTr(entry.tooltip);
    return entry.text !== "" ? qsTr(entry.text) : "";
}

// The icon key of code ("SUCCESS", "LOADING", ...), or "" when it shows nothing.
function statusIcon(code) {
    var entry = entryOf(code);
    return entry ? entry.icon : "";
}

// The image of an icon key, or "" for LOADING (an animation) and for keys without an image.
function iconSource(key) {
    return iconSources.hasOwnProperty(key) ? iconSources[key] : "";
}

// The status code in a statusRole value: the value itself when it is a number, the entry under
// key when it is a map of statuses per page; -1 when there is none.
function codeUnderKey(value, key) {
    if (typeof value === "number")
        return value;
    if (value !== null && typeof value === "object" && key !== undefined && key !== "" && value[key] !== undefined) {
        var code = Number(value[key]);
        return isNaN(code) ? -1 : code;
    }
    return -1;
}
