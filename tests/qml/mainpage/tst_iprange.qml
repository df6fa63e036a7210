import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/js/IpRange.js" as IpRange

// The range box's arithmetic and rules, by table: search time, address count, the commit's
// decision and what each address field takes.
TestCase {
    name: "IpRange"

    function test_countTime_data() {
        return [
            { tag: "zero", n: 0, seconds: 0 },
            { tag: "negative", n: -5, seconds: 0 },
            { tag: "one address", n: 1, seconds: 10 },
            { tag: "255 of a wildcard", n: 255, seconds: 10 },
            { tag: "2000", n: 2000, seconds: 10 },
            { tag: "2500 is still the low step", n: 2500, seconds: 10 },
            { tag: "2501 takes the high step", n: 2501, seconds: 20 },
            { tag: "4000", n: 4000, seconds: 20 },
            { tag: "5000 stays out of the first band", n: 5000, seconds: 20 },
            { tag: "5001 starts a band block", n: 5001, seconds: 30 },
            { tag: "12000", n: 12000, seconds: 40 },
            { tag: "60000 fills every band below", n: 60000, seconds: 20 + 20 + 45 + 100 + 50 },
            { tag: "65535", n: 65535, seconds: 295 },
            { tag: "the cap", n: 1000000, seconds: 188 * 30 + 50 + 100 + 45 + 20 + 20 }
        ];
    }
    function test_countTime(data) {
        compare(IpRange.countTime(data.n), data.seconds);
    }

    function test_ipDiff_data() {
        return [
            { tag: "same address", start: "10.0.0.1", end: "10.0.0.1", count: 0 },
            { tag: "last octet", start: "192.168.0.0", end: "192.168.0.255", count: 255 },
            { tag: "carries between octets", start: "10.0.0.250", end: "10.0.1.5", count: 11 },
            { tag: "two octets", start: "10.0.0.0", end: "10.0.255.255", count: 65535 },
            { tag: "high half has no sign", start: "127.255.255.255", end: "128.0.0.1", count: 2 },
            { tag: "just under the cap", start: "10.0.0.0", end: "10.15.66.63", count: 999999 },
            { tag: "capped", start: "10.0.0.0", end: "10.15.255.255", count: 1000000 },
            { tag: "whole space capped", start: "0.0.0.0", end: "255.255.255.255", count: 1000000 }
        ];
    }
    function test_ipDiff(data) {
        compare(IpRange.ipDiff(data.start, data.end, 1000000), data.count);
    }

    function test_plan_data() {
        return [
            { tag: "wildcard in the last field", from: ["192", "168", "0", "*"], to: [],
              two: false, start: "192.168.0.0", end: "192.168.0.255", count: 255,
              refused: false, time: 10, ask: false, duration: "" },
            { tag: "wildcard in an inner field", from: ["10", "*", "3", "4"], to: [],
              two: false, start: "10.0.3.4", end: "10.255.3.4", count: 16711680,
              refused: true, time: 0, ask: false, duration: "" },
            { tag: "two octets asks first", from: ["10", "0", "0", "0"],
              to: ["10", "0", "255", "255"], two: true, start: "10.0.0.0", end: "10.0.255.255",
              count: 65535, refused: false, time: 295, ask: true, duration: "over 3 minutes" },
            { tag: "over the limit is refused", from: ["10", "0", "0", "0"],
              to: ["10", "15", "255", "255"], two: true, start: "10.0.0.0",
              end: "10.15.255.255", count: 1000000, refused: true, time: 0, ask: false,
              duration: "" },
            { tag: "second smaller swaps", from: ["192", "168", "1", "20"],
              to: ["192", "168", "1", "10"], two: true, start: "192.168.1.10",
              end: "192.168.1.20", count: 10, refused: false, time: 10, ask: false,
              duration: "" },
            { tag: "order is by field, not by text", from: ["10", "0", "0", "10"],
              to: ["10", "0", "0", "9"], two: true, start: "10.0.0.9", end: "10.0.0.10",
              count: 1, refused: false, time: 10, ask: false, duration: "" },
            { tag: "about one minute", from: ["10", "0", "0", "0"],
              to: ["10", "0", "46", "224"], two: true, start: "10.0.0.0", end: "10.0.46.224",
              count: 12000, refused: false, time: 40, ask: true, duration: "about 1 minute" },
            { tag: "about three minutes", from: ["10", "0", "0", "0"],
              to: ["10", "0", "105", "120"], two: true, start: "10.0.0.0", end: "10.0.105.120",
              count: 27000, refused: false, time: 85, ask: true, duration: "about 3 minutes" },
            { tag: "185 seconds is over 3 minutes", from: ["10", "0", "0", "0"],
              to: ["10", "0", "195", "80"], two: true, start: "10.0.0.0", end: "10.0.195.80",
              count: 50000, refused: false, time: 185, ask: true, duration: "over 3 minutes" },
            { tag: "30 seconds does not ask", from: ["10", "0", "0", "0"],
              to: ["10", "0", "39", "0"], two: true, start: "10.0.0.0", end: "10.0.39.0",
              count: 9984, refused: false, time: 30, ask: false, duration: "" },
            { tag: "leading zeros are read as numbers", from: ["010", "0", "0", "*"], to: [],
              two: false, start: "10.0.0.0", end: "10.0.0.255", count: 255, refused: false,
              time: 10, ask: false, duration: "" }
        ];
    }
    function test_plan(data) {
        var plan = IpRange.planSearch(data.from, data.to, data.two);
        compare(plan.start, data.start);
        compare(plan.end, data.end);
        compare(plan.count, Math.min(data.count, 1000000));
        compare(plan.refused, data.refused);
        compare(plan.requiredTime, data.time);
        compare(plan.ask, data.ask);
        compare(plan.duration, data.duration);
    }

    function test_messages() {
        var plan = IpRange.planSearch(["10", "0", "0", "0"], ["10", "0", "255", "255"], true);
        compare(IpRange.questionText(plan), "- Notice -\nIt will takes over 3 minutes to search "
                + "the IP range (65535 devices) you assigned.");
        compare(IpRange.refusalText(), "- Notice -\nThe IP range you choose contains more than "
                + "1000,000 devices. Please try a smaller range and search again.");
    }

    function test_fieldAccepts_data() {
        return [
            { tag: "empty while typing", text: "", one: true, two: true },
            { tag: "zero", text: "0", one: true, two: true },
            { tag: "255", text: "255", one: true, two: true },
            { tag: "256", text: "256", one: false, two: false },
            { tag: "four digits", text: "1000", one: false, two: false },
            { tag: "wildcard", text: "*", one: true, two: false },
            { tag: "two wildcards", text: "**", one: false, two: false },
            { tag: "wildcard with digit", text: "1*", one: false, two: false },
            { tag: "sign", text: "-1", one: false, two: false },
            { tag: "letter", text: "a", one: false, two: false },
            { tag: "space", text: " ", one: false, two: false },
            { tag: "dot", text: ".", one: false, two: false }
        ];
    }
    function test_fieldAccepts(data) {
        compare(IpRange.fieldAccepts(data.text, true), data.one, "one address box");
        compare(IpRange.fieldAccepts(data.text, false), data.two, "two address boxes");
    }

    function test_searchEnabled_data() {
        return [
            { tag: "one box with a wildcard", from: ["192", "168", "0", "*"], to: [],
              two: false, enabled: true },
            { tag: "one box, only wildcards", from: ["*", "*", "*", "*"], to: [], two: false,
              enabled: true },
            { tag: "one box without a wildcard", from: ["192", "168", "0", "1"], to: [],
              two: false, enabled: false },
            { tag: "one box with an empty field", from: ["192", "", "0", "*"], to: [],
              two: false, enabled: false },
            { tag: "two boxes filled", from: ["10", "0", "0", "1"], to: ["10", "0", "0", "9"],
              two: true, enabled: true },
            { tag: "two boxes, one empty field", from: ["10", "0", "0", "1"],
              to: ["10", "0", "", "9"], two: true, enabled: false },
            { tag: "two boxes refuse a wildcard", from: ["10", "0", "0", "*"],
              to: ["10", "0", "0", "9"], two: true, enabled: false }
        ];
    }
    function test_searchEnabled(data) {
        compare(IpRange.searchEnabled(data.from, data.to, data.two), data.enabled);
    }

    function test_withoutWildcards() {
        compare(IpRange.withoutWildcards(["*", "168", "*", "7"]), ["0", "168", "0", "7"]);
    }
}
