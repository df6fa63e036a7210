import QtQuick 2.15
import QtQuick.Window 2.15

// A tool tip in a window of its own. Drive it with `hovered`: hovering starts a timer of
// emergeDelay (quickDelay with quickEmerge); when it fires the tip opens and stays for
// showDuration; the hover ending closes it at once. `forceShow` opens it at once and keeps it
// open while it holds (error tips of input boxes).
Item {
    id: root

    property string tipText: ""
    property bool tipEnable: true
    property bool quickEmerge: false
    property bool warning: false
    property bool hovered: false
    property bool forceShow: false
    property int emergeDelay: 1500
    property int quickDelay: 600
    property int showDuration: 6000
    // The item the tip is placed under; the parent by default.
    property Item anchorItem: parent
    // The window whose scale the tip follows; the anchor's own window by default.
    property var hostWindow: null
    property string windowName: "tipWindow"
    property int maximumTextWidth: 320

    property color backgroundColor: warning ? "#fff4e0" : "#2b303b"
    property color borderColor: warning ? "#e5a33b" : "#566070"
    property color textColor: warning ? "#8a4b00" : "#ffffff"
    property int fontPixelSize: 12

    readonly property bool shown: tipLoader.item !== null && tipLoader.item.visible
    // The tip's window; it exists only while the tip is open, so that the many tips of a page
    // (one per table cell) cost nothing until one is shown.
    readonly property var window: tipLoader.item
    property bool timedOpen: false

    readonly property bool wanted: tipEnable && tipText !== "" && (forceShow || timedOpen)

    function emerge() {
        emergeTimer.stop();
        timedOpen = true;
        lifeTimer.restart();
    }
    function hide() {
        emergeTimer.stop();
        lifeTimer.stop();
        timedOpen = false;
    }

    onHoveredChanged: {
        if (hovered && tipEnable && tipText !== "") {
            emergeTimer.interval = quickEmerge ? quickDelay : emergeDelay;
            emergeTimer.restart();
        } else {
            hide();
        }
    }
    onTipEnableChanged: if (!tipEnable) hide()

    Timer {
        id: emergeTimer
        repeat: false
        onTriggered: root.emerge()
    }
    Timer {
        id: lifeTimer
        interval: root.showDuration
        repeat: false
        onTriggered: root.timedOpen = false
    }

    readonly property var effectiveHost: hostWindow ? hostWindow : (anchorItem ? anchorItem.Window.window : null)
    readonly property real xScale: effectiveHost && effectiveHost.xScale ? effectiveHost.xScale : 1
    readonly property real yScale: effectiveHost && effectiveHost.yScale ? effectiveHost.yScale : 1

    function place(tipWindow) {
        if (!anchorItem || !tipWindow)
            return;
        var win = anchorItem.Window.window;
        var p = anchorItem.mapToItem(null, 0, anchorItem.height + 4);
        var wx = win ? win.x : 0;
        var wy = win ? win.y : 0;
        tipWindow.x = Math.round(wx + p.x);
        tipWindow.y = Math.round(wy + p.y);
    }

    Loader {
        id: tipLoader
        active: root.wanted
        sourceComponent: tipComponent
        onLoaded: {
            root.place(item);
            item.visible = true;
        }
    }

    Component {
        id: tipComponent
        Window {
            id: tipWindow
            objectName: root.windowName
            flags: Qt.ToolTip | Qt.FramelessWindowHint | Qt.WindowDoesNotAcceptFocus
            color: "transparent"
            visible: false
            width: Math.ceil(tipBody.width * root.xScale)
            height: Math.ceil(tipBody.height * root.yScale)

            Rectangle {
                id: tipBody
                objectName: "tipBody"
                transform: Scale { xScale: root.xScale; yScale: root.yScale }
                width: tipLabel.width + 16
                height: tipLabel.height + 10
                color: root.backgroundColor
                border.color: root.borderColor
                radius: 2

                Text {
                    id: tipLabel
                    objectName: "tipText"
                    x: 8
                    y: 5
                    width: Math.min(implicitWidth, root.maximumTextWidth)
                    text: root.tipText
                    color: root.textColor
                    font.pixelSize: root.fontPixelSize
                    wrapMode: Text.Wrap
                }
            }
        }
    }
}
