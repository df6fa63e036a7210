.pragma library
// The rules of the IP assignment form, apart from the page so that they can be checked on their
// own.

// A dotted address as one number: each part in turn, sum * 256 + part.
function addressValue(text) {
    var parts = String(text).split(".");
    var sum = 0;
    for (var i = 0; i < parts.length; ++i)
        sum = sum * 256 + (parseInt(parts[i], 10) || 0);
    return sum;
}

// The two ends of a range in ascending order: [from, to].
function orderedRange(from, to) {
    return addressValue(from) > addressValue(to) ? [to, from] : [from, to];
}

// Devices the run can reach: all but those the last run skipped.
function availableDevices(numDevices, numSkipped) {
    return numDevices - numSkipped;
}

// Texts of the start failures; code 5 is RangeIpRangeNotEnough of CAssignIpPageCtrl.
function startFailedText(code) {
    if (code === 5)
        return qsTr("IP addresses is less than selected devices. Add more IP addresses before assigning to selected devices.");
    return qsTr("Unknown failure");
}
