import QtQuick 2.15

// One column of a CorvaneTable: the model role it shows, its title, its width (up to 1: a
// share of the table's width; above 1: pixels), the least width, and the cell delegate (a
// Component whose root is a TableDlg; plain text when none).
QtObject {
    property string roleName: ""
    property string title: ""
    property real width: 0.1
    property real minWidth: 0
    property Component dlg: null
    property bool sortable: true
    property int horizontalAlignment: Text.AlignLeft
}
