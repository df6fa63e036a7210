import QtQuick 2.15

// Stands in for mainPageDeviceListCtrl: records the calls.
QtObject {
    property var calls: []

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

    function setFilter(text) { record("setFilter", [text]); }
    function setSelectionToAll(b) { record("setSelectionToAll", [b]); return true; }
    function acceptModelSet(name) { record("acceptModelSet", [name]); }
    function sortByRole(role, order) { record("sortByRole", [role, order]); }
    function select(row) { record("select", [row]); return true; }
    function ctrlSelect(row) { record("ctrlSelect", [row]); return true; }
    function shiftSelect(row) { record("shiftSelect", [row]); return true; }
    function selectAll() { record("selectAll", []); return true; }
}
