import QtQuick 2.15
import "../Common"

// Sends one typed CGI query to every selected device and, on request, writes the answers to a
// file. The main window loads it for Ctrl/Alt+F12 and unloads it once it closes. While any
// device failed, a bar above the button offers the retry; the button's own retry does nothing
// here.
CorvaneWindow {
    id: root

    objectName: "sendCgiDialogWindow"
    title: qsTr("Send Cgi command")
    bodyWidth: 454
    bodyHeight: 277
    defaultFocusItem: editor

    property var pageCtrl: typeof cgiGetPageCtrl !== "undefined" ? cgiGetPageCtrl : null
    property var devicesModel: typeof cgiGetDevicesModel !== "undefined" ? cgiGetDevicesModel : null
    property var devicesModelCtrl: typeof cgiGetDevicesModelCtrl !== "undefined" ? cgiGetDevicesModelCtrl : null
    readonly property alias editor: editor
    readonly property alias toFileBox: toFileBox
    readonly property alias messageWindow: messageWindow
    readonly property int errorCount: pageCtrl ? pageCtrl.errorCount : 0

    function send() {
        if (!pageCtrl)
            return;
        pageCtrl.setCgiCmd(editor.text);
        pageCtrl.setToFile(toFileBox.checked);
        pageCtrl.start();
    }

    function showMessage(text) {
        messageWindow.warningText = text;
        messageWindow.open();
    }

    onVisibleChanged: {
        if (visible) {
            place();
            if (pageCtrl)
                pageCtrl.enterPage();
        } else {
            detail.tableBox.close();
            if (pageCtrl)
                pageCtrl.leavePage();
        }
    }

    Connections {
        target: root.pageCtrl
        ignoreUnknownSignals: true
        function onStartFailed(code) {
            root.showMessage(qsTr("Unknown failure"));
        }
        function onEnterPageFailed(code) {
            root.showMessage(qsTr("Unknown failure"));
        }
    }

    Item {
        id: cgiPage
        objectName: "cgiPage"
        width: root.bodyWidth
        height: root.bodyHeight

        WarningBar {
            id: failedBar
            objectName: "cgiFailedBar"
            x: detail.x
            y: 6
            width: detail.width
            height: 38
            visible: root.errorCount !== 0
            text: qsTr("Failed to send cgi command")
            onRefreshBtnClicked: {
                if (root.pageCtrl)
                    root.pageCtrl.startOnFailed();
            }
        }

        ItemDetailArea {
            id: detail
            x: Math.round((parent.width - 350) / 2)
            y: 50
            width: 350
            pageCtrl: root.pageCtrl
            devicesModel: root.devicesModel
            devicesModelCtrl: root.devicesModelCtrl
            failedModel: null
            prepareText: qsTr("Send Cgi command now")
            loadingText: qsTr("Sending Cgi command")
            waitingText: qsTr("Sending Cgi command")
            warningText: ""
            successText: qsTr("Send Cgi command successfully")
            button.objectName: "btnItemDetail"
            tableBox.windowName: "cgiTableBoxWindow"
            tableBox.hostWindow: root.hostWindow
            onItemBtnClicked: root.send()
        }

        Rectangle {
            x: detail.x
            y: detail.y + 60 + 12
            width: 350
            height: 100
            color: _GProperty_.inputColor
            border.color: editor.activeFocus ? _GProperty_.accentHoverColor : _GProperty_.lineColor
            radius: 2
            clip: true

            Flickable {
                id: flick
                anchors.fill: parent
                anchors.margins: 6
                contentWidth: width
                contentHeight: editor.paintedHeight
                boundsBehavior: Flickable.StopAtBounds
                clip: true
                function ensureVisible(r) {
                    if (contentY >= r.y)
                        contentY = r.y;
                    else if (contentY + height <= r.y + r.height)
                        contentY = r.y + r.height - height;
                }

                TextEdit {
                    id: editor
                    objectName: "cgiCommandEditor"
                    width: flick.width
                    height: Math.max(flick.height, paintedHeight)
                    text: "/cgi-bin/sysinfo.cgi"
                    textFormat: TextEdit.PlainText
                    wrapMode: TextEdit.WrapAnywhere
                    color: _GProperty_.fontSet.f001.color
                    selectionColor: _GProperty_.accentColor
                    selectByMouse: true
                    font.family: _GProperty_.fontSet.f001.family
                    font.pixelSize: _GProperty_.fontSet.f001.size
                    enabled: !root.pageCtrl || root.pageCtrl.pageStatus !== 3
                    onCursorRectangleChanged: flick.ensureVisible(cursorRectangle)
                }
            }
        }

        CorvaneCheckBox {
            id: toFileBox
            objectName: "boxToFile"
            x: detail.x
            y: detail.y + 60 + 12 + 100 + 16
            width: Math.min(implicitWidth, 350)
            text: qsTr("Write response to file")
        }
    }

    WarningWindow {
        id: messageWindow
        objectName: "cgiMessageWindow"
        hostWindow: root.hostWindow
        showLeftButton: false
    }
}
