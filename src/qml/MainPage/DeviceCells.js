.pragma library
// What the main device table writes in its cells where that is not the value itself.

// A port of 0 is no port at all.
function portText(value) {
    if (value === undefined || value === null || value === 0 || value === "0")
        return "";
    return String(value);
}

// The SD-card condition a device reported, in the user's words. No report is an empty cell;
// anything the device may say beyond the three known conditions is an error.
function sdCardText(value) {
    if (value === undefined || value === null || value === "")
        return "";
    switch (String(value)) {
    case "ready":
        return qsTr("Ready");
    case "detached":
        return qsTr("Detached");
    case "readonly":
        return qsTr("Read only");
    }
    return qsTr("Error");
}

// The address a double click opens.
function webPageUrl(ip, httpPort) {
    return "http://" + ip + ":" + httpPort;
}
