import QtQuick 2.15
import QtQuick.Dialogs 1.3

// The package or licence file choice, in a file of its own so that a page loads it only when
// the user picks a file (it needs the widgets of the desktop). The page sets its name, title,
// filter and whether several files may be chosen.
FileDialog {
    title: qsTr("Select File")
    selectExisting: true
    selectFolder: false
}
