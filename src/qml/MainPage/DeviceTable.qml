import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import "../Common"

// The devices of the network in one table: status, model, address, MAC and firmware. Clicking a
// row selects it; Ctrl and Shift extend the selection as in any desktop table.
Rectangle {
    id: root

    property var tableModel: null
    property var tableCtrl: null
    readonly property var columnWidths: [64, 180, 150, 170, 160]

    color: "#ffffff"
    border.color: "#d0d4da"

    Row {
        id: header
        objectName: "deviceTableHeader"
        x: 1
        y: 1
        height: 32
        Repeater {
            model: [qsTr("Status"), qsTr("Model"), qsTr("IP address"), qsTr("MAC address"),
                qsTr("Firmware")]
            delegate: Rectangle {
                width: root.columnWidths[index]
                height: header.height
                color: "#eef1f5"
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    x: 8
                    text: modelData
                    font.bold: true
                    color: "#2b3440"
                }
            }
        }
    }

    ListView {
        id: list
        objectName: "deviceTableList"
        anchors.top: header.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 1
        clip: true
        model: root.tableModel
        ScrollBar.vertical: ScrollBar {}

        delegate: Rectangle {
            id: rowItem
            objectName: "deviceRow" + index
            width: list.width
            height: 30
            color: selectedRole ? "#cfe3fb" : (newItemRole ? "#fff6d6" : (index % 2 ? "#f7f9fb" : "#ffffff"))

            Row {
                anchors.fill: parent
                StatusCell {
                    objectName: "statusCell"
                    width: root.columnWidths[0]
                    height: rowItem.height
                    status: statusRole
                }
                Repeater {
                    model: [modelRole, ipRole, macRole, firmwareRole]
                    delegate: Text {
                        width: root.columnWidths[index + 1]
                        height: rowItem.height
                        leftPadding: 8
                        verticalAlignment: Text.AlignVCenter
                        elide: Text.ElideRight
                        text: modelData
                        color: "#1d2329"
                    }
                }
            }

            MouseArea {
                anchors.fill: parent
                onClicked: {
                    if (!root.tableCtrl)
                        return;
                    if (mouse.modifiers & Qt.ShiftModifier)
                        root.tableCtrl.shiftSelect(index);
                    else if (mouse.modifiers & Qt.ControlModifier)
                        root.tableCtrl.ctrlSelect(index);
                    else
                        root.tableCtrl.select(index);
                }
            }
        }
    }
}
