import QtQuick 2.15
import "../Common"
import "../OstraQuick"

// A template-mode tab of batch setup: its caption and, once a template is loaded from it, a
// mark that says so (the entry's selectedRole).
BaseTabDelegate {
    id: root

    readonly property bool marked: parent && parent.entry && parent.entry.selectedRole === true

    objectName: "batchSetupMode_" + name

    Rectangle {
        anchors.fill: parent
        color: root.marked ? _GProperty_.accentColor : "#ffffff"
        opacity: root.marked ? 0.45 : (root.isHovered ? 0.08 : 0)
    }
    Rectangle {
        visible: root.marked
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
        Rectangle {
            objectName: "tabSelectedMark"
            visible: root.marked
            anchors.verticalCenter: parent.verticalCenter
            width: 20
            height: 20
            radius: 10
            color: _GProperty_.accentHoverColor
            Text { anchors.centerIn: parent; text: "\u2713"; color: "#ffffff"; font.pixelSize: 13; font.bold: true }
        }
        Text {
            objectName: "tabCaption"
            anchors.verticalCenter: parent.verticalCenter
            width: Math.min(implicitWidth, root.width - 40 - (root.marked ? 30 : 0))
            text: root.caption
            color: root.marked ? _GProperty_.fontSet.f002.color : _GProperty_.fontSet.f017.color
            font.family: _GProperty_.fontSet.f001.family
            font.pixelSize: 15
            elide: Text.ElideRight
        }
    }
}
