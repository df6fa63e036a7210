import QtQuick 2.15
import "qrc:/src/qml/Common"

// Stands in for the main page in the window tests: the properties and calls the window uses.
TopLevelPage {
    objectName: "mainPage"
    pageName: "MainPage"
    topMargin: 147

    property bool searching: false
    property bool isStopping: false
    property bool searchWhenEnteringPage: false
    property string deviceSet: "all"
    property bool blockOnClose: false
    property int searchCount: 0

    signal resetNaviView

    function search() {
        searchCount += 1;
    }
    function isBlocking(close) {
        return close ? blockOnClose : blocking;
    }
}
