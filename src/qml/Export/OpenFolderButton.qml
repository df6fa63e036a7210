import QtQuick 2.15
import "../OstraQuick"

// Opens the folder an export wrote to, with the desktop's handler.
ZyrButton {
    id: root

    width: 44
    height: 44
    radius: 2
    normalColor: "#242833"
    hoverColor: "#2f3541"
    pressColor: "#12707f"
    normalSource: "qrc:/src/qml/res/images/Export_OpenFolder.png"
    btnImgInfo.sourceSize: Qt.size(64, 64)
    btnImgInfo.width: 26
    btnImgInfo.height: 26
    tipText: qsTr("Open folder")
}
