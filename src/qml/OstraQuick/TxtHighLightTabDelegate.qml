import QtQuick 2.15

// A text tab with a highlight line under it while current.
TxtTabDelegate {
    id: root

    property color highLightColor: "#1b8b9d"

    HighLightBar {
        anchors.bottom: parent.bottom
        width: parent.width
        color: root.highLightColor
        shown: root.isCurrent
    }
}
