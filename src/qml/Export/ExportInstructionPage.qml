import QtQuick 2.15
import "../Common"

// What the export area shows before a tab is chosen: the device list and the debug reports.
Page {
    id: page

    objectName: "exportInstruction"
    pageName: "Instruction"

    Row {
        anchors.centerIn: parent
        anchors.verticalCenterOffset: -40
        spacing: 120

        Image {
            objectName: "instructionListImage"
            width: 220
            height: 180
            sourceSize: Qt.size(440, 360)
            source: "qrc:/src/qml/res/images/Export_Instruction_List.png"
        }
        Image {
            objectName: "instructionDebugImage"
            width: 220
            height: 180
            sourceSize: Qt.size(440, 360)
            source: "qrc:/src/qml/res/images/Export_Instruction_Debug.png"
        }
    }
}
