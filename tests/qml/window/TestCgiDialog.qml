import QtQuick 2.15
import QtQuick.Window 2.15

// Stands in for the CGI dialog: a window that belongs to the main window.
Window {
    objectName: "testCgiDialogWindow"
    property var hostWindow: null
    width: 100
    height: 80
}
