import QtQuick 2.15

// A panel that covers its parent while shown, holds off all mouse input and tells the user to
// wait: a busy animation and a text ("Loading" by default).
Blockable {
    id: root

    property string text: qsTr("Loading")

    anchors.fill: parent
    dimOpacity: 0.6
    z: 900

    Rectangle {
        anchors.centerIn: parent
        width: Math.max(180, row.implicitWidth + 40)
        height: 64
        radius: 4
        color: "#1a1d24"
        Row {
            id: row
            anchors.centerIn: parent
            spacing: 12
            LoadingBusy {
                anchors.verticalCenter: parent.verticalCenter
                width: 24
                height: 24
                running: root.visible
            }
            Text {
                objectName: "importingText"
                anchors.verticalCenter: parent.verticalCenter
                text: root.text
                color: "#ffffff"
                font.pixelSize: 14
            }
        }
    }

    // Swallows presses on the panel itself too.
    MouseArea {
        anchors.fill: parent
        z: -0.5
        hoverEnabled: true
        acceptedButtons: Qt.AllButtons
        onWheel: wheel.accepted = true
    }
}
