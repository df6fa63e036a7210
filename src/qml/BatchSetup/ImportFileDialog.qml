import QtQuick 2.15
import QtQuick.Dialogs 1.3

// Which template file to import; loaded only when the user imports.
FileDialog {
    objectName: "InstructionPageFileDialogImport"
    title: qsTr("Import a template")
    nameFilters: [qsTr("CSV files") + " (*.csv)"]
    selectExisting: true
    selectMultiple: false
}
