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
            Button {
                id: searchButton
                objectName: "searchButton"
                text: searching ? qsTr("Stop") : qsTr("Search")
                property bool searching: false
                onClicked: {
                    if (searching) {
                        mainPageCtrl.userStops();
                    } else {
                        searching = mainPageCtrl.startSearchDevices();
                    }
                }
                Connections {
                    target: mainPageCtrl
                    function onSearchStopped() { searchButton.searching = false; }
                }
            }
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

        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            TextField {
                id: userField
                objectName: "usernameField"
                text: "root"
                placeholderText: qsTr("User name")
                Layout.preferredWidth: 140
            }
            TextField {
                id: passwordField
                objectName: "passwordField"
                echoMode: TextInput.Password
                placeholderText: qsTr("Password")
                Layout.preferredWidth: 160
            }
            Button {
                objectName: "authorizeButton"
                text: qsTr("Log in")
                onClicked: mainPageCtrl.authorize(userField.text, passwordField.text)
            }
            Label {
                id: authorizeLabel
                objectName: "authorizeLabel"
                property bool working: false
                text: working ? qsTr("Logging in...") : ""
                color: "#5a6470"
                Connections {
                    target: mainPageCtrl
                    function onAuthorizing() { authorizeLabel.working = true; }
                    function onAuthorizeStopped() { authorizeLabel.working = false; }
                }
            }
            Item { Layout.fillWidth: true }
        }

        DeviceTable {
            objectName: "deviceTable"
            Layout.fillWidth: true
            Layout.fillHeight: true
            tableModel: deviceListModel
            tableCtrl: mainPageDeviceListCtrl
        }

        FirstPasswordDialog {
            id: firstPasswordDialog
            anchors.centerIn: Overlay.overlay
        }

        Connections {
            target: mainPageCtrl
            function onNeedToSetPassword() { firstPasswordDialog.open(); }
        }

        Label {
            objectName: "devicePackLabel"
            text: strDevicePackVersion === "" ? qsTr("No device pack installed")
                                              : qsTr("Device pack %1").arg(strDevicePackVersion)
            color: "#5a6470"
        }
    }
}
