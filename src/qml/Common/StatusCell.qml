import QtQuick 2.15
import QtQuick.Controls 2.15
import "../js/StatusTable.js" as StatusTable

// The status column of every device table: the icon of the row's status code with its text as a
// tooltip. A value that is not a plain number (an unset role) shows nothing.
Item {
    id: root

    property var status: undefined
    readonly property string iconKey: StatusTable.statusIcon(status)
    readonly property string tooltipText: StatusTable.statusTooltip(status)

    implicitWidth: 24
    implicitHeight: 24

    Image {
        id: icon
        objectName: "statusIcon"
        anchors.centerIn: parent
        width: 20
        height: 20
        sourceSize: Qt.size(40, 40)
        source: StatusTable.iconSource(root.iconKey)
        visible: source != ""
    }

    BusyIndicator {
        objectName: "statusBusy"
        anchors.centerIn: parent
        width: 22
        height: 22
        running: root.iconKey === "LOADING"
        visible: running
    }

    MouseArea {
        id: hoverArea
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.NoButton
    }

    ToolTip.visible: hoverArea.containsMouse && root.tooltipText !== ""
    ToolTip.text: root.tooltipText
}
