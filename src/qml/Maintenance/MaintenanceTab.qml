import QtQuick 2.15
import "../Common"
import "../OstraQuick"

// A tab of the maintenance area: icon and caption side by side, and a busy mark while the
// page behind the tab runs (its entry's runningRole).
BaseTabDelegate {
    id: root

    property string namePrefix: "maintenanceMode_"
    readonly property bool running: parent && parent.entry && parent.entry.runningRole === true

    objectName: namePrefix + name

    Rectangle {
        anchors.fill: parent
        color: root.isCurrent ? _GProperty_.accentColor : "#ffffff"
        opacity: root.isCurrent ? 0.45 : (root.isHovered ? 0.08 : 0)
    }
    Rectangle {
        objectName: "tabMarker"
        visible: root.isCurrent
        anchors.bottom: parent.bottom
        width: parent.width
        height: 3
        color: _GProperty_.accentHoverColor
    }
    Rectangle {
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        width: 1
        height: parent.height - 24
        color: "#ffffff"
        opacity: 0.15
    }
    Row {
        anchors.centerIn: parent
        spacing: 10
        Image {
            anchors.verticalCenter: parent.verticalCenter
            width: 28
            height: 28
            sourceSize: Qt.size(64, 64)
            source: root.currentSource
        }
        Text {
            objectName: "tabCaption"
            anchors.verticalCenter: parent.verticalCenter
            width: Math.min(implicitWidth, root.width - 28 - 10 - 16 - (busy.visible ? 28 : 0))
            text: root.caption
            color: root.isCurrent ? _GProperty_.fontSet.f002.color : _GProperty_.fontSet.f017.color
            font.family: _GProperty_.fontSet.f001.family
            font.pixelSize: 15
            elide: Text.ElideRight
        }
        LoadingBusy {
            id: busy
            objectName: "tabBusy"
            anchors.verticalCenter: parent.verticalCenter
            width: 18
            height: 18
            visible: root.running
        }
    }
}
