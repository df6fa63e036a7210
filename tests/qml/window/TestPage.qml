import QtQuick 2.15
import "qrc:/src/qml/Common"

// A page that records what the switcher does with it and can refuse to be left.
TopLevelPage {
    id: page

    property var events: []
    property bool blockOnClose: false
    property int resolveCount: 0

    function note(what) {
        var list = events.slice();
        list.push(what);
        events = list;
    }

    function enterPage() {
        note("enter");
    }
    function leavePage() {
        note("leave");
    }
    function isBlocking(close) {
        return close ? blockOnClose : blocking;
    }
    function resolveBlocking() {
        resolveCount += 1;
    }
}
