import QtQuick 2.15

// The status cell of an uninstall: as the application status cell, but a success shows no icon
// and 1202 reads "Failed to uninstall".
TableDlgForZAPKStatus {
    uninstall: true
}
