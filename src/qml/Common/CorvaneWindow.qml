import QtQuick 2.15
import QtQuick.Window 2.15
import "../OstraQuick"

// The program's dialog: a pop-up window on the dark dialog colour, modal to its host, scaled
// with the host (its xScale/yScale) and centred over it when shown (or placed under
// anchorItem). The close button has the tip "Close", a truncated title shows in full as a tip.
// With customClose the close button only emits customClosing and the owner decides.
// defaultFocusItem takes the focus whenever the window opens. With blockHost the host window's
// block area (its blockArea) dims the host while the dialog is shown.
ZyrPopupWindow {
    id: root

    property var hostWindow: null
    property bool customClose: false
    property Item defaultFocusItem: null
    property Item anchorItem: null

    property bool blockHost: false

    signal customClosing

    backgroundColor: "#1a1d24"
    modality: Qt.WindowModal
    transientParent: hostWindow
    xScale: hostWindow && hostWindow.xScale ? hostWindow.xScale : 1
    yScale: hostWindow && hostWindow.yScale ? hostWindow.yScale : 1
    titleBar.txtInfo.text: title

    function place() {
        if (anchorItem) {
            var aw = anchorItem.Window.window;
            var p = anchorItem.mapToItem(null, 0, anchorItem.height);
            x = Math.round((aw ? aw.x : 0) + p.x);
            y = Math.round((aw ? aw.y : 0) + p.y);
        } else if (hostWindow) {
            x = Math.round(hostWindow.x + (hostWindow.width - width) / 2);
            y = Math.round(hostWindow.y + (hostWindow.height - height) / 2);
        }
    }
    function open() {
        place();
        show();
        raise();
        requestActivate();
        if (defaultFocusItem)
            defaultFocusItem.forceActiveFocus();
    }

    function holdHost(hold) {
        var area = hostWindow && hostWindow.blockArea ? hostWindow.blockArea : null;
        if (!area || !area.block)
            return;
        if (hold)
            area.block(root);
        else
            area.unblock(root);
    }

    onVisibleChanged: {
        if (visible && defaultFocusItem)
            defaultFocusItem.forceActiveFocus();
        holdHost(visible && blockHost);
    }
    onBlockHostChanged: holdHost(visible && blockHost)
    Component.onDestruction: holdHost(false)

    closeOnTitleButton: !customClose
    onCloseButtonClicked: if (customClose) root.customClosing()
    titleBar.btnClose.tipText: qsTr("Close")

    TipArea {
        parent: root.titleBar.txtInfo
        anchors.fill: parent
        tipText: root.titleBar.txtInfo.truncated ? root.titleBar.txtInfo.text : ""
        hostWindow: root
    }
}
