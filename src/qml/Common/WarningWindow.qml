import QtQuick 2.15
import QtQuick.Window 2.15

// A message dialog: a warning icon (none when confirm), the message (four lines at most unless
// extend) and two buttons. Each button emits its signal and closes the window; closing (the
// window's own signal) follows every close. showLeftButton hides the left one.
CorvaneWindow {
    id: root

    property string warningText: ""
    property string leftBtnText: qsTr("Abort")
    property string rightBtnText: qsTr("Cancel")
    property bool showLeftButton: true
    property bool confirm: false
    property bool extend: false
    property int windowModality: Qt.WindowModal
    readonly property alias leftButton: leftBtn
    readonly property alias rightButton: rightBtn
    readonly property alias messageText: message

    signal leftBtnClicked
    signal rightBtnClicked

    modality: windowModality
    bodyWidth: 420
    bodyHeight: extend ? Math.max(180, message.implicitHeight + 110) : 180
    defaultFocusItem: rightBtn

    Image {
        id: icon
        objectName: "warningIcon"
        visible: !root.confirm
        x: 24
        y: 28
        width: 32
        height: 32
        sourceSize: Qt.size(64, 64)
        source: "qrc:/src/qml/res/images/Common_warning_Icon.png"
    }

    Text {
        id: message
        objectName: "warningText"
        x: icon.visible ? 72 : 24
        y: 24
        width: root.bodyWidth - x - 24
        height: root.bodyHeight - y - 72
        text: root.warningText
        color: "#ffffff"
        font.pixelSize: 14
        font.family: typeof _GProperty_ !== "undefined" ? _GProperty_.defaultFamily : font.family
        wrapMode: Text.Wrap
        maximumLineCount: root.extend ? 1000 : 4
        elide: Text.ElideRight
        verticalAlignment: Text.AlignVCenter
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: 24
        y: root.bodyHeight - 56
        spacing: 12
        layoutDirection: Qt.LeftToRight

        CorvaneButton {
            id: leftBtn
            objectName: "leftButton"
            visible: root.showLeftButton
            width: Math.max(100, implicitWidth)
            btnText: root.leftBtnText
            onApply: {
                root.leftBtnClicked();
                root.close();
            }
        }
        CorvaneButton {
            id: rightBtn
            objectName: "rightButton"
            width: Math.max(100, implicitWidth)
            btnText: root.rightBtnText
            actived: true
            onApply: {
                root.rightBtnClicked();
                root.close();
            }
        }
    }
}
