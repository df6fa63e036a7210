import QtQuick 2.15
import "../OstraQuick"

// One entry of the navigation bar: the entry's icon in the look of its state, a mark while it is
// current. A disabled entry has an icon of its own rather than a faded one.
BaseTabDelegate {
    id: entry

    readonly property string disabledSource: normalSource.replace("_normal.png", "_disabled.png")

    objectName: "navi_" + name
    disabledOpacity: 1.0

    Rectangle {
        anchors.fill: parent
        color: "#ffffff"
        opacity: entry.isCurrent ? 0.12 : (entry.isHovered && entry.enabled ? 0.06 : 0)
    }

    Rectangle {
        objectName: "currentMark"
        width: 4
        height: parent.height
        color: "#1b8b9d"
        visible: entry.isCurrent
    }

    Image {
        anchors.centerIn: parent
        width: 48
        height: 48
        sourceSize: Qt.size(96, 96)
        source: entry.enabled ? entry.currentSource : entry.disabledSource
    }
}
