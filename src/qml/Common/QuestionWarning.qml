import QtQuick 2.15

// A warning line in a form: an icon and the caption. It contributes nothing to the output.
Question {
    id: root

    outputTag: "empty"
    captionWidth: 0
    captionItem.visible: false

    Row {
        spacing: 8
        height: parent.height
        Image {
            anchors.verticalCenter: parent.verticalCenter
            width: 20
            height: 20
            sourceSize: Qt.size(40, 40)
            source: "qrc:/src/qml/res/images/Common_warning_Icon.png"
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            objectName: "questionWarningText"
            text: root.captionText
            color: "#f7c46c"
            font.pixelSize: 14
        }
    }
}
