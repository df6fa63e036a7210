import QtQuick 2.15
import "../OstraQuick"

// A page's operation button, drawn by page status (CPageCtrl's E_Page_Status):
//   Nothing (-1)  a button with prepareText; a click emits itemBtnClicked
//   Loading (1)   busy, parsingText
//   Waiting (2)   the waiting look: busy, waitingText, dimmed
//   Working (3)   loadingText, the progress bar and progressPercent
//   Finished (4)  no errors: successText with the full bar (a success icon at 100 %);
//                 errors (and UnknownError, 0): warningText with a warning icon and a retry
//                 button (refreshBtnClicked); the failed-devices table is then available
// A second button at the right (tip "Device list") emits detailBtnClicked.
Item {
    id: root

    property int status: -1
    property int count: 0
    property int errorCount: 0
    property real progressPercent: 0
    property string prepareText: ""
    property string parsingText: ""
    property string loadingText: ""
    property string waitingText: ""
    property string warningText: ""
    property string successText: ""
    property bool showDetailButton: true
    property bool detailOpened: false
    property bool showCancelButton: false
    property bool startEnabled: count > 0

    readonly property string displayState: status === -1 ? "prepare"
                                    : status === 1 ? "parsing"
                                    : status === 2 ? "waiting"
                                    : status === 3 ? "working"
                                    : status === 4 ? (errorCount === 0 ? "success" : "warning")
                                    : "warning"
    readonly property bool failedTableAvailable: displayState === "warning"
    readonly property string shownText: displayState === "prepare" ? prepareText
                                       : displayState === "parsing" ? parsingText
                                       : displayState === "waiting" ? waitingText
                                       : displayState === "working" ? loadingText
                                       : displayState === "success" ? successText : warningText

    signal itemBtnClicked
    signal detailBtnClicked
    signal refreshBtnClicked
    signal cancelBtnClicked

    implicitWidth: 350
    implicitHeight: 60

    Rectangle {
        id: frame
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.right: detail.visible ? detail.left : parent.right
        anchors.rightMargin: detail.visible ? 4 : 0
        radius: 2
        color: "#242833"
        visible: root.displayState !== "prepare"
        opacity: root.displayState === "waiting" ? 0.6 : 1.0

        LoadingBusy {
            objectName: "itemBusy"
            anchors.verticalCenter: parent.verticalCenter
            x: 14
            width: 22
            height: 22
            visible: root.displayState === "parsing" || root.displayState === "waiting"
        }
        Text {
            objectName: "itemText"
            visible: root.displayState !== "warning"
            x: root.displayState === "parsing" || root.displayState === "waiting" ? 46 : 14
            y: root.displayState === "working" || (root.displayState === "success" && root.progressPercent < 100) ? 10 : (parent.height - height) / 2
            width: parent.width - x - (percentText.visible ? percentText.width + 20 : 14)
            text: root.shownText
            color: "#ffffff"
            font.pixelSize: 14
            elide: Text.ElideRight
        }
        Text {
            id: percentText
            objectName: "itemPercent"
            visible: root.displayState === "working"
            anchors.right: parent.right
            anchors.rightMargin: root.showCancelButton ? 44 : 14
            y: 10
            text: Math.round(Math.max(0, Math.min(100, root.progressPercent))) + "%"
            color: "#bbd0d6"
            font.pixelSize: 14
        }
        PercentBar {
            objectName: "itemPercentBar"
            visible: root.displayState === "working" || (root.displayState === "success" && root.progressPercent < 100)
            x: 14
            y: parent.height - 20
            width: parent.width - 28 - (root.showCancelButton && root.displayState === "working" ? 30 : 0)
            progressPercent: root.displayState === "success" ? 100 : root.progressPercent
        }
        Image {
            objectName: "itemSuccessIcon"
            visible: root.displayState === "success" && root.progressPercent >= 100
            anchors.right: parent.right
            anchors.rightMargin: 14
            anchors.verticalCenter: parent.verticalCenter
            width: 24
            height: 24
            sourceSize: Qt.size(48, 48)
            source: "qrc:/src/qml/res/images/Item_success_Icon.png"
        }
        ZyrButton {
            objectName: "cancelButton"
            visible: root.showCancelButton && root.displayState === "working"
            anchors.right: parent.right
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            width: 28
            height: 28
            normalSource: "qrc:/src/qml/res/images/Common_close_Icon.png"
            hoveredSource: "qrc:/src/qml/res/images/Common_close_hover_Icon.png"
            btnImgInfo.sourceSize: Qt.size(32, 32)
            btnImgInfo.width: 18
            btnImgInfo.height: 18
            hoverColor: "#3a404d"
            tipText: qsTr("Cancel")
            onClicked: root.cancelBtnClicked()
        }
        WarningBar {
            objectName: "itemWarningBar"
            visible: root.displayState === "warning"
            anchors.fill: parent
            text: root.warningText
            onRefreshBtnClicked: root.refreshBtnClicked()
        }
    }

    CorvaneButton {
        id: start
        objectName: "itemButton"
        visible: root.displayState === "prepare"
        anchors.fill: frame
        btnText: root.prepareText
        actived: true
        fontPixelSize: 16
        enabled: root.startEnabled
        onApply: root.itemBtnClicked()
    }

    ZyrButton {
        id: detail
        objectName: "detailButton"
        visible: root.showDetailButton
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        width: 44
        normalColor: root.detailOpened ? "#1b8b9d" : "#242833"
        hoverColor: root.detailOpened ? "#25a3b7" : "#2f3541"
        pressColor: "#12707f"
        radius: 2
        normalSource: "qrc:/src/qml/res/images/Common_extend_arrow_Icon.png"
        btnImgInfo.rotation: root.detailOpened ? 180 : 0
        tipText: qsTr("Device list")
        onClicked: root.detailBtnClicked()
    }
}
