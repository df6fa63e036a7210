import QtQuick 2.15
import QtQuick.Window 2.15
import "../OstraQuick"

// A drop-down selection over a list of texts. currentText is what the box shows; it may hold a
// text that is not in optList (then currentIndex is -1). The list opens in a window of its own
// under the box, scaled like the host window; choosing an entry sets currentText and emits
// activated. Set windowName to name that window.
FocusScope {
    id: root

    property var optList: []
    property string currentText: ""
    readonly property int currentIndex: optList ? optList.indexOf(currentText) : -1
    property var hostWindow: null
    property string windowName: "comboBoxList"
    property int maxVisibleRows: 8
    property int rowHeight: 28
    property color backgroundColor: "#2a2f3a"
    property color borderColor: "#3a404d"
    property color textColor: "#ffffff"
    property int fontPixelSize: 14
    property real disabledOpacity: 0.4
    readonly property bool opened: listWindow.visible
    readonly property alias listWindow: listWindow
    readonly property bool isHovered: boxMouse.containsMouse

    signal activated(int index, string text)

    implicitWidth: 160
    implicitHeight: 32
    opacity: enabled ? 1.0 : disabledOpacity
    activeFocusOnTab: true

    function choose(i) {
        if (!optList || i < 0 || i >= optList.length)
            return;
        currentText = String(optList[i]);
        close();
        activated(i, currentText);
    }
    function open() {
        if (!enabled || !optList || optList.length === 0)
            return;
        var win = root.Window.window;
        var p = root.mapToItem(null, 0, root.height);
        listWindow.x = Math.round((win ? win.x : 0) + p.x);
        listWindow.y = Math.round((win ? win.y : 0) + p.y);
        selection.selectedIndexes = currentIndex >= 0 ? [currentIndex] : [];
        listWindow.visible = true;
        listWindow.requestActivate();
    }
    function close() {
        listWindow.visible = false;
    }

    Keys.onSpacePressed: opened ? close() : open()
    Keys.onUpPressed: if (currentIndex > 0) choose(currentIndex - 1)
    Keys.onDownPressed: if (currentIndex < optList.length - 1) choose(currentIndex + 1)

    readonly property var effectiveHost: hostWindow ? hostWindow : root.Window.window
    readonly property real xScale: effectiveHost && effectiveHost.xScale ? effectiveHost.xScale : 1
    readonly property real yScale: effectiveHost && effectiveHost.yScale ? effectiveHost.yScale : 1

    Rectangle {
        anchors.fill: parent
        radius: 2
        color: boxMouse.pressed ? Qt.darker(root.backgroundColor, 1.2) : root.isHovered ? Qt.lighter(root.backgroundColor, 1.2) : root.backgroundColor
        border.width: 1
        border.color: root.activeFocus || root.opened ? "#25a3b7" : root.borderColor
    }
    Text {
        objectName: "comboText"
        anchors.left: parent.left
        anchors.right: arrow.left
        anchors.leftMargin: 8
        anchors.rightMargin: 4
        anchors.verticalCenter: parent.verticalCenter
        text: root.currentText
        color: root.textColor
        font.pixelSize: root.fontPixelSize
        font.family: typeof _GProperty_ !== "undefined" ? _GProperty_.defaultFamily : font.family
        elide: Text.ElideRight
    }
    Canvas {
        id: arrow
        anchors.right: parent.right
        anchors.rightMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        width: 10
        height: 6
        onPaint: {
            var ctx = getContext("2d");
            ctx.reset();
            ctx.fillStyle = "#bbd0d6";
            ctx.beginPath();
            ctx.moveTo(0, 0);
            ctx.lineTo(width, 0);
            ctx.lineTo(width / 2, height);
            ctx.closePath();
            ctx.fill();
        }
    }
    MouseArea {
        id: boxMouse
        anchors.fill: parent
        hoverEnabled: true
        onClicked: {
            root.forceActiveFocus();
            root.opened ? root.close() : root.open();
        }
    }

    Window {
        id: listWindow
        objectName: root.windowName
        flags: Qt.Tool | Qt.FramelessWindowHint | Qt.WindowStaysOnTopHint
        color: "transparent"
        visible: false
        width: Math.ceil(root.width * root.xScale)
        height: Math.ceil(listBody.height * root.yScale)
        // Losing the focus to anything else closes the list.
        onActiveChanged: if (!active && visible) closeTimer.start()

        Timer {
            id: closeTimer
            interval: 0
            onTriggered: if (!listWindow.active) root.close()
        }

        Rectangle {
            id: listBody
            width: root.width
            height: Math.min(root.maxVisibleRows, Math.max(1, root.optList ? root.optList.length : 0)) * root.rowHeight + 2
            transform: Scale { xScale: root.xScale; yScale: root.yScale }
            color: root.backgroundColor
            border.color: "#25a3b7"

            ZyrSelectionList {
                id: selection
                objectName: "comboList"
                anchors.fill: parent
                anchors.margins: 1
                model: root.optList
                rowHeight: root.rowHeight
                fontPixelSize: root.fontPixelSize
                singleSelectMode: true
                onItemClicked: root.choose(index)
            }
            Keys.onEscapePressed: root.close()
        }
    }
}
