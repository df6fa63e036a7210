import QtQuick 2.15
import "../Common"

// One module of the application page's list: its name and how many devices run it. The current
// module is darker; while an uninstall's result is shown, the current module carries a busy mark
// while it runs and a warning once devices failed.
Rectangle {
    id: root

    property int row: -1
    property string moduleName: ""
    property int deviceCount: 0
    property bool current: false
    property bool showBusy: false
    property bool showWarning: false

    signal clicked(int row)

    width: 300
    height: 60
    radius: 2
    color: current ? "#1b2029" : (mouse.containsMouse ? "#3a404d" : "#2f3541")

    Text {
        objectName: "moduleName"
        x: 16
        anchors.verticalCenter: parent.verticalCenter
        width: parent.width - x - 100
        text: root.moduleName
        color: "#ffffff"
        font.pixelSize: 15
        elide: Text.ElideRight
    }
    Text {
        objectName: "moduleDeviceCount"
        anchors.right: parent.right
        anchors.rightMargin: root.showBusy || root.showWarning ? 48 : 16
        anchors.verticalCenter: parent.verticalCenter
        text: root.deviceCount
        color: "#bbd0d6"
        font.pixelSize: 14
    }
    LoadingBusy {
        objectName: "moduleBusy"
        anchors.right: parent.right
        anchors.rightMargin: 16
        anchors.verticalCenter: parent.verticalCenter
        width: 20
        height: 20
        visible: root.showBusy
    }
    Image {
        objectName: "moduleWarning"
        anchors.right: parent.right
        anchors.rightMargin: 16
        anchors.verticalCenter: parent.verticalCenter
        width: 20
        height: 20
        sourceSize: Qt.size(40, 40)
        source: "qrc:/src/qml/res/images/Common_warning_Icon.png"
        visible: root.showWarning && !root.showBusy
    }
    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        onClicked: root.clicked(root.row)
    }
}
