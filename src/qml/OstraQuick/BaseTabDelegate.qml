import QtQuick 2.15
import "../Common"

// What every tab of ZyrImgTabView knows: its entry (name, tip, enabled flag, images for the
// normal, hovered and pressed looks, caption) and its state. Derived delegates draw it. The
// view fills the entry from its model row (roles nameRole, tipRole or displayRole, enableRole,
// normalImgRole, hoveredImgRole, pressedImgRole, captionRole).
Item {
    id: root

    property var tabView: null
    property int tabIndex: -1
    property string name: ""
    property string tipText: ""
    property string caption: ""
    property bool enabledTab: true
    property string normalSource: ""
    property string hoveredSource: normalSource
    property string pressedSource: hoveredSource
    readonly property bool isCurrent: tabView ? tabView.currentName === name && name !== "" : false
    readonly property bool isHovered: mouse.containsMouse
    readonly property bool isPressed: mouse.pressed
    readonly property string currentSource: (isCurrent || isPressed) ? pressedSource : (isHovered ? hoveredSource : normalSource)
    property real disabledOpacity: 0.4
    property alias mouseArea: mouse

    signal clicked

    objectName: "tab_" + name
    enabled: enabledTab
    opacity: enabled ? 1.0 : disabledOpacity

    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        z: 10
        onClicked: {
            root.clicked();
            if (root.tabView)
                root.tabView.choose(root.name);
        }
    }

    CorvaneTip {
        anchorItem: root
        tipText: root.tipText
        hovered: mouse.containsMouse
        quickEmerge: true
    }
}
