import QtQuick 2.15
import "../Common"
import "../OstraQuick"
import "../js/StatusTable.js" as StatusTable

// One device of a view at a time: its address with its status icon, then model and MAC, with
// arrow buttons (and the Left and Right keys) to page through the view.
FocusScope {
    id: root

    property var model: null
    property var hostWindow: null
    property alias currentIndex: list.currentIndex
    readonly property int count: list.count

    implicitHeight: 84

    function previous() {
        if (list.currentIndex > 0)
            list.currentIndex -= 1;
    }
    function next() {
        if (list.currentIndex < list.count - 1)
            list.currentIndex += 1;
    }

    Keys.onLeftPressed: previous()
    Keys.onRightPressed: next()

    ZyrImgButton {
        id: leftButton
        objectName: "pagerPreviousButton"
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        width: 28
        height: 28
        enabled: list.currentIndex > 0
        normalSource: "qrc:/src/qml/res/images/MainPage_left_normal.png"
        hoveredSource: "qrc:/src/qml/res/images/MainPage_left_hovered.png"
        pressedSource: "qrc:/src/qml/res/images/MainPage_left_pressed.png"
        onClicked: root.previous()
    }
    ZyrImgButton {
        id: rightButton
        objectName: "pagerNextButton"
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        width: 28
        height: 28
        enabled: list.currentIndex < list.count - 1
        normalSource: "qrc:/src/qml/res/images/MainPage_right_normal.png"
        hoveredSource: "qrc:/src/qml/res/images/MainPage_right_hovered.png"
        pressedSource: "qrc:/src/qml/res/images/MainPage_right_pressed.png"
        onClicked: root.next()
    }

    ListView {
        id: list
        objectName: "pagerList"
        anchors.left: leftButton.right
        anchors.right: rightButton.left
        anchors.margins: 8
        height: parent.height
        orientation: ListView.Horizontal
        interactive: false
        clip: true
        snapMode: ListView.SnapOneItem
        highlightRangeMode: ListView.StrictlyEnforceRange
        highlightMoveDuration: 0
        model: root.model
        delegate: Item {
            width: list.width
            height: list.height
            Column {
                anchors.centerIn: parent
                spacing: 6
                Row {
                    anchors.horizontalCenter: parent.horizontalCenter
                    spacing: 8
                    StatusIcon {
                        anchors.verticalCenter: parent.verticalCenter
                        width: 20
                        height: 20
                        hostWindow: root.hostWindow
                        icon: StatusTable.statusIcon(statusRole)
                        strTooltip: StatusTable.statusTooltip(statusRole)
                    }
                    Text {
                        objectName: "pagerIpText"
                        text: ipRole
                        font.family: _GProperty_.fontSet.f011.family
                        font.pixelSize: _GProperty_.fontSet.f011.size
                        color: _GProperty_.fontSet.f011.color
                    }
                }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    width: Math.min(implicitWidth, list.width)
                    elide: Text.ElideRight
                    text: modelRole + (modelRole !== "" && macRole !== "" ? "  |  " : "") + macRole
                    font.family: _GProperty_.fontSet.f013.family
                    font.pixelSize: _GProperty_.fontSet.f013.size
                    color: "#bbd0d6"
                }
            }
        }
    }

    Text {
        anchors.bottom: parent.bottom
        anchors.horizontalCenter: parent.horizontalCenter
        visible: list.count > 1
        text: (list.currentIndex + 1) + " / " + list.count
        font.pixelSize: 11
        color: "#7f8c8d"
    }
}
