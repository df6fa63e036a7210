import QtQuick 2.15

// Runs an action later: setTimeout(action, ms). A new call replaces a pending one; cancel()
// drops it.
Timer {
    id: root

    property var action: null
    readonly property bool pending: running

    repeat: false

    function setTimeout(fn, ms) {
        stop();
        action = fn;
        interval = Math.max(0, ms);
        start();
    }
    function cancel() {
        stop();
        action = null;
    }

    onTriggered: {
        var fn = action;
        action = null;
        if (typeof fn === "function")
            fn();
    }
}
