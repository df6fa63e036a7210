import QtQuick 2.15
import QtQuick.Dialogs 1.3

// The file dialog of the import button, in a file of its own so that the page loads it only
// when the user imports (it needs the widgets of the desktop).
FileDialog {
    title: qsTr("Select device list to import")
    nameFilters: [qsTr("CSV files") + " (*.csv)"]
    selectMultiple: false
    selectExisting: true
}
