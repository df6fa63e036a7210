import QtQuick 2.15
import QtQuick.Window 2.15
import "../Common"

// A button that opens a box of two input boxes under itself: captions, the inputs, a status
// icon with a text (two lines at most) and "Apply". A click latches the button active and opens
// the box; deactivating it (another click, Escape, the box losing the focus to another window,
// or close()) closes it. Apply or Enter emits commit only when both inputs are acceptable
// (validinput). With the status icon "LOADING" the icon sits beside Apply instead.
// The box is a window of its own, named by windowName and scaled like the host window.
FocusScope {
    id: root

    property string btnText: ""
    property string normalSource: ""
    property string hoveredSource: normalSource
    property string pressedSource: hoveredSource
    property string tipText: ""
    property bool isActive: false
    property var hostWindow: null
    property string windowName: "extendBoxWindow"
    property string caption1: ""
    property string caption2: ""
    property string status: ""
    property string statusText: ""
    property bool showInput2: true
    readonly property alias inputBox1: input1
    readonly property alias inputBox2: input2
    readonly property alias btnApply: applyButton
    readonly property alias boxWindow: box
    readonly property bool validinput: input1.extendAcceptable && (!showInput2 || input2.extendAcceptable)
    readonly property bool opened: box.visible
    readonly property bool loading: status === "LOADING"

    readonly property var effectiveHost: hostWindow ? hostWindow : root.Window.window
    readonly property real xScale: effectiveHost && effectiveHost.xScale ? effectiveHost.xScale : 1
    readonly property real yScale: effectiveHost && effectiveHost.yScale ? effectiveHost.yScale : 1

    signal commit
    signal opening

    implicitWidth: 150
    implicitHeight: 32

    function open() { isActive = true; }
    function close() { isActive = false; }

    function apply() {
        if (root.validinput && applyButton.enabled)
            root.commit();
    }

    function place() {
        var win = root.Window.window;
        var p = root.mapToItem(null, 0, root.height + 4);
        box.x = Math.round((win ? win.x : 0) + p.x);
        box.y = Math.round((win ? win.y : 0) + p.y);
    }

    onIsActiveChanged: {
        if (isActive) {
            root.opening();
            place();
            box.show();
            box.raise();
            box.requestActivate();
            input1.forceActiveFocus();
        } else {
            box.hide();
        }
    }

    CorvaneButton {
        id: trigger
        objectName: "extendButton"
        anchors.fill: parent
        btnText: root.btnText
        source: root.isActive ? root.pressedSource : (isHovered ? root.hoveredSource : root.normalSource)
        actived: root.isActive
        tipText: root.tipText
        hostWindow: root.hostWindow
        onApply: root.isActive = !root.isActive
    }

    Window {
        id: box
        objectName: root.windowName
        flags: Qt.Tool | Qt.FramelessWindowHint
        color: "#1a1d24"
        visible: false
        width: Math.ceil(420 * root.xScale)
        height: Math.ceil(241 * root.yScale)
        transientParent: root.effectiveHost ? root.effectiveHost : null
        onActiveChanged: if (!active && visible) deactivateTimer.restart()
        onVisibleChanged: if (!visible) root.isActive = false

        // Activation moves between windows in steps; only a lasting loss closes the box.
        Timer {
            id: deactivateTimer
            interval: 100
            onTriggered: {
                if (!box.active && box.visible && !(root.effectiveHost && root.effectiveHost.active && trigger.isHovered))
                    root.isActive = false;
            }
        }

        FocusScope {
            id: boxBody
            width: 420
            height: 241
            focus: true
            transform: Scale { xScale: root.xScale; yScale: root.yScale }
            Keys.onEscapePressed: root.isActive = false

            Rectangle {
                anchors.fill: parent
                color: "#1a1d24"
                border.color: "#3a404d"
            }

            Text {
                id: cap1
                x: 16; y: 12
                width: 388
                text: root.caption1
                color: typeof _GProperty_ !== "undefined" ? _GProperty_.fontSet.fExtendButtonDescript.color : "#f7f7f7"
                font.pixelSize: typeof _GProperty_ !== "undefined" ? _GProperty_.fontSet.fExtendButtonDescript.size : 12
                elide: Text.ElideRight
            }
            CorvaneInputBox {
                id: input1
                objectName: "inputBox1"
                x: 16; y: 32
                width: 388; height: 32
                tipWindowName: root.windowName + "_tip1"
                focus: true
                KeyNavigation.tab: root.showInput2 ? input2 : applyButton
                onEnterPressed: root.apply()
            }
            Text {
                x: 16; y: 74
                width: 388
                visible: root.showInput2
                text: root.caption2
                color: cap1.color
                font.pixelSize: cap1.font.pixelSize
                elide: Text.ElideRight
            }
            CorvaneInputBox {
                id: input2
                objectName: "inputBox2"
                x: 16; y: 94
                width: 388; height: 32
                visible: root.showInput2
                tipWindowName: root.windowName + "_tip2"
                KeyNavigation.tab: applyButton
                onEnterPressed: root.apply()
            }

            Row {
                id: statusRow
                objectName: "statusRow"
                x: 16; y: 138
                width: 388
                spacing: 8
                StatusIcon {
                    id: statusIconInline
                    objectName: "statusIcon"
                    width: 20; height: 20
                    icon: root.loading ? "" : root.status
                    visible: showsSomething
                }
                Text {
                    objectName: "statusText"
                    width: statusRow.width - (statusIconInline.visible ? 28 : 0)
                    text: root.statusText
                    color: "#ffffff"
                    font.pixelSize: 12
                    wrapMode: Text.Wrap
                    maximumLineCount: 2
                    elide: Text.ElideRight
                }
            }

            StatusIcon {
                objectName: "applyStatusIcon"
                anchors.right: applyButton.left
                anchors.rightMargin: 10
                anchors.verticalCenter: applyButton.verticalCenter
                width: 20; height: 20
                icon: root.loading ? "LOADING" : ""
                visible: root.loading
            }
            CorvaneButton {
                id: applyButton
                objectName: "applyButton"
                x: 420 - 16 - width; y: 241 - 16 - height
                width: 110
                btnText: qsTr("Apply")
                actived: true
                enabled: root.validinput
                onApply: root.apply()
            }
        }
    }
}
