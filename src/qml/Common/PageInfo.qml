import QtQuick 2.15

// What a PageSwitcher knows of one page: its name and either the page itself or the file it is
// made from the first time it is shown. Pages made from a file are kept once made, unless keep
// is false (then they go whenever another page becomes current).
QtObject {
    property string name: ""
    property url source: ""
    property var page: null
    property bool keep: true
    readonly property bool isPageInfo: true
}
