.pragma library
// The rules of the IP-range search box, apart from the window so that they can be checked on
// their own: which text an address field takes, when the box may search, how the two address
// boxes become a start and an end address, how many devices that is and how long it takes.

// Above this many addresses a range search is refused.
var rangeLimit = 1000000;
// Above this many seconds the user is asked before the search starts.
var askAboveSeconds = 30;

// The bands of countTime, from the top down: the part of the count above the bound costs
// weight seconds per started 5000 addresses.
var timeBands = [
    { bound: 60000, weight: 30 },
    { bound: 50000, weight: 25 },
    { bound: 27000, weight: 20 },
    { bound: 15000, weight: 15 },
    { bound: 5000, weight: 10 }
];

// True when text may stand in one address field: a number 0-255 without a sign, "*" only while
// wildcards are allowed (one address box), and the empty text of a field not yet filled.
function fieldAccepts(text, wildcardAllowed) {
    if (text === "")
        return true;
    if (text === "*")
        return wildcardAllowed === true;
    if (!/^[0-9]{1,3}$/.test(text))
        return false;
    return parseInt(text, 10) <= 255;
}

// True when the four texts are all filled and each is acceptable.
function addressComplete(fields, wildcardAllowed) {
    if (!fields || fields.length !== 4)
        return false;
    for (var i = 0; i < 4; ++i) {
        if (fields[i] === "" || !fieldAccepts(fields[i], wildcardAllowed))
            return false;
    }
    return true;
}

function hasWildcard(fields) {
    for (var i = 0; i < fields.length; ++i) {
        if (fields[i] === "*")
            return true;
    }
    return false;
}

// Whether "Search" is enabled: one box needs all four fields and at least one "*" (a single
// address is no range); two boxes need all eight fields.
function searchEnabled(fromFields, toFields, twoBoxes) {
    if (twoBoxes)
        return addressComplete(fromFields, false) && addressComplete(toFields, false);
    return addressComplete(fromFields, true) && hasWildcard(fromFields);
}

// The first box once the second is shown: wildcards mean nothing in a pair of addresses.
function withoutWildcards(fields) {
    var out = [];
    for (var i = 0; i < fields.length; ++i)
        out.push(fields[i] === "*" ? "0" : fields[i]);
    return out;
}

// The address of four field texts as an unsigned 32-bit number (multiplication keeps it
// positive where a shift would turn 128.x.x.x negative).
function toNumber(fields) {
    var n = 0;
    for (var i = 0; i < 4; ++i)
        n = n * 256 + parseInt(fields[i], 10);
    return n;
}

function joinFields(fields) {
    return fields.join(".");
}

// Field by field, so "10.0.0.9" comes before "10.0.0.10".
function compareAddresses(a, b) {
    for (var i = 0; i < 4; ++i) {
        var d = parseInt(a[i], 10) - parseInt(b[i], 10);
        if (d !== 0)
            return d < 0 ? -1 : 1;
    }
    return 0;
}

// The start and end addresses ({start, end} as dotted texts) of what the box holds: with a
// wildcard the lowest and highest address it covers, otherwise the two addresses in ascending
// order.
function rangeFromFields(fromFields, toFields, twoBoxes) {
    if (!twoBoxes || hasWildcard(fromFields)) {
        var low = [], high = [];
        for (var i = 0; i < 4; ++i) {
            low.push(fromFields[i] === "*" ? "0" : String(parseInt(fromFields[i], 10)));
            high.push(fromFields[i] === "*" ? "255" : String(parseInt(fromFields[i], 10)));
        }
        return { start: joinFields(low), end: joinFields(high) };
    }
    var a = [], b = [];
    for (var j = 0; j < 4; ++j) {
        a.push(String(parseInt(fromFields[j], 10)));
        b.push(String(parseInt(toFields[j], 10)));
    }
    if (compareAddresses(a, b) > 0)
        return { start: joinFields(b), end: joinFields(a) };
    return { start: joinFields(a), end: joinFields(b) };
}

// The number of addresses between two dotted addresses (their difference as 32-bit numbers),
// capped at limit.
function ipDiff(start, end, limit) {
    var d = Math.abs(toNumber(end.split(".")) - toNumber(start.split(".")));
    return d > limit ? limit : d;
}

// The seconds a range search of n addresses is given.
function countTime(n) {
    if (!(n > 0))
        return 0;
    var seconds = 0;
    for (var i = 0; i < timeBands.length; ++i) {
        var band = timeBands[i];
        if (n > band.bound) {
            seconds += Math.ceil((n - band.bound) / 5000) * band.weight;
            n = band.bound;
        }
    }
    return seconds + (n > 2500 ? 20 : 10);
}

// How the question names the search time.
function durationText(seconds) {
    if (seconds < 60)
        return qsTr("about 1 minute");
    if (seconds < 180)
        return qsTr("about 3 minutes");
    return qsTr("over 3 minutes");
}

// Everything the commit of the box decides, without doing it: the range, its device count, and
// whether it is refused, asked about first or searched at once.
//   {start, end, count, refused, requiredTime, ask, duration}
function planSearch(fromFields, toFields, twoBoxes) {
    var range = rangeFromFields(fromFields, toFields, twoBoxes);
    var count = ipDiff(range.start, range.end, rangeLimit);
    var plan = {
        start: range.start,
        end: range.end,
        count: count,
        refused: count >= rangeLimit,
        requiredTime: 0,
        ask: false,
        duration: ""
    };
    if (plan.refused)
        return plan;
    plan.requiredTime = countTime(count);
    plan.ask = plan.requiredTime > askAboveSeconds;
    if (plan.ask)
        plan.duration = durationText(plan.requiredTime);
    return plan;
}

function refusalText() {
    return qsTr("- Notice -") + "\n" +
           qsTr("The IP range you choose contains more than 1000,000 devices. Please try a smaller range and search again.");
}

function questionText(plan) {
    return qsTr("- Notice -") + "\n" +
           qsTr("It will takes %1 to search the IP range (%2 devices) you assigned.")
               .arg(plan.duration).arg(plan.count);
}
