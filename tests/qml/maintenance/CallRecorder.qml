import QtQuick 2.15

// Records the calls a stand-in controller receives.
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
    function names() {
        var out = [];
        for (var i = 0; i < calls.length; ++i)
            out.push(calls[i].name);
        return out;
    }
    function clear() {
        calls = [];
    }
}
