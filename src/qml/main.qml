import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import QtQuick.Window 2.15
import "MainPage"

ApplicationWindow {
    id: mainWindow
    objectName: "mainWindow"
    visible: true
    width: 1024
    height: 640
    minimumWidth: 760
    minimumHeight: 420
    title: "Ardmere"

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 12
        spacing: 8

        RowLayout {
            Layout.fillWidth: true
            spacing: 12
            Label {
                text: qsTr("Devices")
                font.pixelSize: 20
                font.bold: true
            }
            Label {
                objectName: "deviceCountLabel"
                text: qsTr("%1 devices, %2 selected").arg(deviceListModel.count).arg(deviceListModel.numSelected)
                color: "#5a6470"
            }
            Item { Layout.fillWidth: true }
            TextField {
                id: filterField
                objectName: "filterField"
                placeholderText: qsTr("Filter")
                Layout.preferredWidth: 220
                onTextChanged: mainPageDeviceListCtrl.setFilter(text)
            }
            Button {
                objectName: "selectAllButton"
                text: qsTr("Select all")
                onClicked: mainPageDeviceListCtrl.selectAll()
            }
        }

        DeviceTable {
            objectName: "deviceTable"
            Layout.fillWidth: true
            Layout.fillHeight: true
            tableModel: deviceListModel
            tableCtrl: mainPageDeviceListCtrl
        }

        Label {
            objectName: "devicePackLabel"
            text: strDevicePackVersion === "" ? qsTr("No device pack installed")
                                              : qsTr("Device pack %1").arg(strDevicePackVersion)
            color: "#5a6470"
        }
    }
}
