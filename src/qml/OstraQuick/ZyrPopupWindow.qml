import QtQuick 2.15
import QtQuick.Window 2.15

// A frameless top-level window with a draggable title bar (titleBar: txtInfo, imgInfo,
// btnClose) over a body. Lay the body out in design pixels (bodyWidth x bodyHeight); the window
// itself is that size times xScale/yScale. Children, or an item given as `body`, go into the
// body. The close button calls close(); closed follows every close.
Window {
    id: root

    property alias titleBar: bar
    property Item body: null
    default property alias content: bodyHolder.data
    property int bodyWidth: 400
    property int bodyHeight: 240
    property int titleHeight: 40
    property bool showTitleBar: true
    property real xScale: 1
    property real yScale: 1
    property color backgroundColor: "#1a1d24"
    property color borderColor: "#3a404d"
    property string windowName: ""
    readonly property int designWidth: bodyWidth
    readonly property int designHeight: bodyHeight + (showTitleBar ? titleHeight : 0)
    readonly property alias bodyItem: bodyHolder

    // Whether the title bar's close button closes the window by itself.
    property bool closeOnTitleButton: true

    signal closed
    signal closeButtonClicked

    flags: Qt.Window | Qt.FramelessWindowHint
    color: backgroundColor
    visible: false
    width: Math.ceil(designWidth * xScale)
    height: Math.ceil(designHeight * yScale)

    onBodyChanged: {
        if (body) {
            body.parent = bodyHolder;
            body.anchors.fill = bodyHolder;
        }
    }
    onVisibleChanged: if (!visible) root.closed()
    Component.onCompleted: if (windowName !== "") objectName = windowName

    Item {
        id: scaled
        width: root.designWidth
        height: root.designHeight
        transform: Scale { xScale: root.xScale; yScale: root.yScale }

        Rectangle {
            anchors.fill: parent
            color: root.backgroundColor
            border.color: root.borderColor
        }

        TitleBar {
            id: bar
            visible: root.showTitleBar
            width: parent.width
            height: root.titleHeight
            targetWindow: root
            xScale: root.xScale
            yScale: root.yScale
            onCloseRequested: {
                root.closeButtonClicked();
                if (root.closeOnTitleButton)
                    root.close();
            }
        }

        Item {
            id: bodyHolder
            objectName: "body"
            y: root.showTitleBar ? root.titleHeight : 0
            width: root.bodyWidth
            height: root.bodyHeight
        }
    }
}
