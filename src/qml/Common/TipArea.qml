import QtQuick 2.15

// An area that shows tipText as a tool tip while the pointer rests on it (the tip's timing is
// CorvaneTip's). It takes no clicks, so it can lie over any item.
MouseArea {
    id: root

    property string tipText: ""
    property bool tipEnable: true
    property bool quickEmerge: false
    property bool warning: false
    property var hostWindow: null
    property string windowName: "tipWindow"
    readonly property alias tip: tip
    readonly property bool tipShown: tip.shown

    hoverEnabled: true
    acceptedButtons: Qt.NoButton

    CorvaneTip {
        id: tip
        anchorItem: root
        hostWindow: root.hostWindow
        windowName: root.windowName
        tipText: root.tipText
        tipEnable: root.tipEnable
        quickEmerge: root.quickEmerge
        warning: root.warning
        hovered: root.containsMouse
    }
}
