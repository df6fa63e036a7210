import QtQuick 2.15
import QtQuick.Dialogs 1.3

// The save dialog of the device-list export, in a file of its own so that the page loads it
// only when the user exports (it needs the widgets of the desktop).
FileDialog {
    objectName: "exportDeviceDialog"
    title: qsTr("Save as")
    nameFilters: [qsTr("CSV files") + " (*.csv)"]
    selectMultiple: false
    selectExisting: false
    selectFolder: false
}
