import QtQuick 2.15
import "../Common"

// The settings entries grouped by class, each class under a header with its mark and name.
// Choosing an entry emits chosen(name) with the settings page's name.
ListView {
    id: root

    property int currentEntry: -1

    signal chosen(string name)

    objectName: "SettingPageSettingList"
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    section.property: "cls"
    section.delegate: Item {
        width: root.width
        height: 32
        Row {
            x: 16
            anchors.verticalCenter: parent.verticalCenter
            spacing: 10
            Rectangle {
                anchors.verticalCenter: parent.verticalCenter
                width: 14
                height: 14
                radius: 3
                color: "transparent"
                border.color: _GProperty_.accentHoverColor
                border.width: 2
                Rectangle { anchors.centerIn: parent; width: 4; height: 4; color: _GProperty_.accentHoverColor }
            }
            Text {
                objectName: "settingClass_" + section
                anchors.verticalCenter: parent.verticalCenter
                text: section
                color: _GProperty_.fontSet.f003.color
                font.family: _GProperty_.defaultFamily
                font.pixelSize: 13
                font.bold: true
            }
        }
    }

    function choose(row) {
        if (row < 0 || row >= count)
            return;
        currentEntry = row;
        chosen(model.get(row).name);
    }

    delegate: Rectangle {
        objectName: "settingEntry_" + name
        width: root.width
        height: 30
        readonly property bool current: root.currentEntry === index
        color: current ? _GProperty_.accentColor : (hover.containsMouse ? "#2f3541" : "transparent")
        Text {
            x: 40
            width: parent.width - x - 10
            anchors.verticalCenter: parent.verticalCenter
            text: model.text
            elide: Text.ElideRight
            color: _GProperty_.fontSet.f001.color
            font.family: _GProperty_.defaultFamily
            font.pixelSize: _GProperty_.fontSet.f001.size
        }
        MouseArea {
            id: hover
            anchors.fill: parent
            hoverEnabled: true
            onClicked: root.choose(index)
        }
    }
}
