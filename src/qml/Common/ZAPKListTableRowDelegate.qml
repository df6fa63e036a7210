import QtQuick 2.15

// A row of the application module list; named "ZAPKListTableRowDelegate" + row.
ListTableRowDelegate {
    objectName: "ZAPKListTableRowDelegate" + rowIndex
}
