import QtQuick 2.15

// A row of text tabs of which one is current. Each tab is named objectPrefix + its name. The tabs
// are tabWidth wide, or extendedWidth when one caption would not fit (translations run longer).
Row {
    id: root

    // [{ name, text }]
    property var tabs: []
    property string currentName: tabs.length > 0 ? tabs[0].name : ""
    property string objectPrefix: "tab_"
    property int tabWidth: 120
    property int extendedWidth: 160
    property int tabHeight: 32
    readonly property bool extended: {
        for (var i = 0; i < repeater.count; ++i) {
            var item = repeater.itemAt(i);
            if (item && item.captionWidth > tabWidth - 16)
                return true;
        }
        return false;
    }

    // The user chose another tab.
    signal tabChosen(string name)

    spacing: 2

    Repeater {
        id: repeater
        model: root.tabs
        delegate: Rectangle {
            id: tab
            objectName: root.objectPrefix + modelData.name
            readonly property bool current: modelData.name === root.currentName
            readonly property real captionWidth: caption.implicitWidth
            width: root.extended ? root.extendedWidth : root.tabWidth
            height: root.tabHeight
            radius: 2
            color: current ? "#ffffff" : (mouse.containsMouse ? Qt.rgba(1, 1, 1, 0.22) : Qt.rgba(1, 1, 1, 0.12))
            opacity: root.enabled ? 1.0 : _GProperty_.disabledOpacity

            Text {
                id: caption
                anchors.centerIn: parent
                width: Math.min(implicitWidth, parent.width - 12)
                elide: Text.ElideRight
                text: modelData.text
                font.family: _GProperty_.defaultFamily
                font.pixelSize: 14
                font.bold: tab.current
                color: tab.current ? "#0f3a51" : "#ffffff"
            }

            MouseArea {
                id: mouse
                anchors.fill: parent
                hoverEnabled: true
                onClicked: {
                    if (tab.current)
                        return;
                    root.currentName = modelData.name;
                    root.tabChosen(modelData.name);
                }
            }
        }
    }
}
