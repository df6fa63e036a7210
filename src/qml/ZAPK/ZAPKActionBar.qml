import QtQuick 2.15
import "../Common"

// The application page's actions on the selected devices of the current module.
Rectangle {
    id: root

    property bool setupEnabled: false
    property bool uninstallEnabled: false

    signal setupClicked
    signal uninstallClicked

    objectName: "ApplyBarRoot"
    height: 60
    radius: 2
    color: "#242833"

    Row {
        anchors.right: parent.right
        anchors.rightMargin: 16
        anchors.verticalCenter: parent.verticalCenter
        spacing: 12

        CorvaneButton {
            objectName: "SetupBarRemoveButton"
            width: 140
            height: 36
            btnText: qsTr("Uninstall")
            enabled: root.uninstallEnabled
            onApply: root.uninstallClicked()
        }
        CorvaneButton {
            objectName: "SetupBarSetupButton"
            width: 140
            height: 36
            btnText: qsTr("Setup")
            actived: true
            enabled: root.setupEnabled
            onApply: root.setupClicked()
        }
    }
}
