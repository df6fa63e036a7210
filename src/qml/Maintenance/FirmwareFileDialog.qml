import QtQuick 2.15
import QtQuick.Dialogs 1.3

// The firmware file choice, in a file of its own so that a page loads it only when the user
// picks a file (it needs the widgets of the desktop). targetRow is the group the file is for,
// -1 for every group.
FileDialog {
    property int targetRow: -1

    objectName: "firmwareFileDialog"
    title: qsTr("Select firmware to update")
    nameFilters: [qsTr("Firmware files (*.pkg)")]
    selectMultiple: false
    selectExisting: true
    selectFolder: false
}
