import QtQuick 2.15
import QtQuick.Dialogs 1.3

// A file or folder choice of the set-up windows, in a file of its own so that a window loads it
// only when the user picks something (it needs the widgets of the desktop).
FileDialog {
    selectExisting: true
    selectMultiple: false
}
