import QtQuick 2.15
import "../Common"

// What the maintenance area shows before a tab is chosen.
Page {
    id: page

    objectName: "maintenanceInstruction"
    pageName: "Instruction"

    Column {
        anchors.centerIn: parent
        anchors.verticalCenterOffset: -40
        spacing: 18

        Image {
            objectName: "instructionImage"
            anchors.horizontalCenter: parent.horizontalCenter
            width: 280
            height: 180
            sourceSize: Qt.size(560, 360)
            source: "qrc:/src/qml/res/images/Maint_Instruction.png"
        }
        Text {
            objectName: "instructionCaption"
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Device optimization")
            color: _GProperty_.fontSet.f017.color
            font.family: _GProperty_.fontSet.f011.family
            font.pixelSize: _GProperty_.fontSet.f011.size
        }
    }
}
