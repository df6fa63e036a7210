import QtQuick 2.15
import "../OstraQuick"

// The failed state of a progress button: a warning icon, the text and a retry button (tip
// "Retry") that emits refreshBtnClicked.
Item {
    id: root

    property string text: ""
    property bool showRetry: true

    signal refreshBtnClicked

    implicitWidth: 300
    implicitHeight: 40

    Image {
        id: icon
        anchors.verticalCenter: parent.verticalCenter
        x: 12
        width: 20
        height: 20
        sourceSize: Qt.size(40, 40)
        source: "qrc:/src/qml/res/images/Common_warning_Icon.png"
    }
    Text {
        objectName: "warningBarText"
        anchors.verticalCenter: parent.verticalCenter
        anchors.left: icon.right
        anchors.leftMargin: 8
        anchors.right: retry.visible ? retry.left : parent.right
        anchors.rightMargin: 8
        text: root.text
        color: "#f7c46c"
        font.pixelSize: 14
        elide: Text.ElideRight
    }
    ZyrButton {
        id: retry
        objectName: "retryButton"
        visible: root.showRetry
        anchors.verticalCenter: parent.verticalCenter
        anchors.right: parent.right
        anchors.rightMargin: 8
        width: 32
        height: 32
        normalSource: "qrc:/src/qml/res/images/Common_refresh_Icon.png"
        btnImgInfo.sourceSize: Qt.size(32, 32)
        btnImgInfo.width: 20
        btnImgInfo.height: 20
        hoverColor: "#3a404d"
        pressColor: "#1b8b9d"
        radius: 2
        tipText: qsTr("Retry")
        onClicked: root.refreshBtnClicked()
    }
}
