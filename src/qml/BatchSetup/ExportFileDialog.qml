import QtQuick 2.15
import QtQuick.Dialogs 1.3

// Where a template is exported to; a file of its own so that the page loads it only on demand.
FileDialog {
    objectName: "SettingPageFileDialogExport"
    title: qsTr("Export")
    nameFilters: [qsTr("CSV files") + " (*.csv)"]
    selectExisting: false
    selectMultiple: false
}
