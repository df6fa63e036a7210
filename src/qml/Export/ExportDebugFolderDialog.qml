import QtQuick 2.15
import QtQuick.Dialogs 1.3

// The folder dialog of the debug export, loaded only when the user exports.
FileDialog {
    objectName: "exportDebugInfoDialog"
    title: qsTr("Select an output directory")
    selectMultiple: false
    selectExisting: true
    selectFolder: true
}
