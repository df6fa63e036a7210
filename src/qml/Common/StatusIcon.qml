import QtQuick 2.15
import "../js/StatusTable.js" as StatusTable

// The image of a status icon key (SUCCESS, LOGIN_SUCCESS, LOGIN_FAIL, WARNING, NEEDPASSWORD),
// the busy animation for LOADING, nothing for any other key; strTooltip is its tip.
Item {
    id: root

    property string icon: ""
    property string strTooltip: ""
    property bool quickEmerge: true
    property var hostWindow: null
    readonly property string source: StatusTable.iconSource(icon)
    readonly property bool showsSomething: source !== "" || icon === "LOADING"

    implicitWidth: 20
    implicitHeight: 20

    Image {
        objectName: "statusIconImage"
        anchors.fill: parent
        sourceSize: Qt.size(40, 40)
        fillMode: Image.PreserveAspectFit
        source: root.source
        visible: source != ""
    }

    LoadingBusy {
        objectName: "statusIconBusy"
        anchors.fill: parent
        visible: root.icon === "LOADING"
    }

    TipArea {
        anchors.fill: parent
        tipText: root.showsSomething ? root.strTooltip : ""
        quickEmerge: root.quickEmerge
        hostWindow: root.hostWindow
    }
}
