import QtQuick 2.15
import "../OstraQuick"

// A check box cell bound to the row's selection: a click toggles the row through the table's
// controller (ctrlSelect), the way a Ctrl-click on the row does.
TableDlg {
    id: root

    readonly property bool rowSelected: rowModel && rowModel.selectedRole !== undefined ? !!rowModel.selectedRole : selected
    label.visible: false

    ZyrCheckBox {
        objectName: "selectionBox"
        anchors.centerIn: parent
        checked: root.rowSelected
        onClicked: {
            // The controller owns the selection; the box only shows it.
            checked = Qt.binding(function() { return root.rowSelected; });
            if (root.table && root.table.ctrl)
                root.table.ctrl.ctrlSelect(root.rowIndex);
        }
    }
}
