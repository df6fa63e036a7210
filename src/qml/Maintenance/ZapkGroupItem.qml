import QtQuick 2.15
import "../Common"
import "../OstraQuick"

// One group of the package or licence tab: its operation button, drawn by the group's status
// (waiting groups can be taken out of the queue, failed ones retried), and the group's failed
// devices below it, collapsed behind "More" when there are many.
Column {
    id: root

    property int row: -1
    property int status: -1
    property int count: 0
    property int errorCount: 0
    property int progress: 0
    property string statusKey: ""
    property string fileName: ""
    property var failedModel: null
    property bool detailOpened: false
    property string parsingText: ""
    property string workingText: ""
    property string successText: ""
    property alias buttonName: button.objectName
    readonly property alias button: button
    readonly property alias failedTable: failed

    signal showDevices(int row)
    signal cancel(int row)
    signal retry(int row)

    spacing: 8

    ItemDetailButton {
        id: button
        width: root.width
        height: 60
        status: root.status
        count: root.count
        errorCount: root.errorCount
        progressPercent: root.progress
        prepareText: root.fileName
        parsingText: root.parsingText
        waitingText: root.fileName !== "" ? root.fileName : root.workingText
        loadingText: root.workingText
        // No failure text of its own: the warning bar carries the file.
        warningText: root.fileName
        successText: root.successText
        detailOpened: root.detailOpened
        onDetailBtnClicked: root.showDevices(root.row)
        onRefreshBtnClicked: root.retry(root.row)

        ZyrButton {
            objectName: "groupCancelButton"
            visible: root.status === 2
            anchors.right: parent.right
            anchors.rightMargin: 56
            anchors.verticalCenter: parent.verticalCenter
            width: 28
            height: 28
            normalSource: "qrc:/src/qml/res/images/Common_close_Icon.png"
            hoveredSource: "qrc:/src/qml/res/images/Common_close_hover_Icon.png"
            btnImgInfo.sourceSize: Qt.size(32, 32)
            btnImgInfo.width: 18
            btnImgInfo.height: 18
            hoverColor: "#3a404d"
            radius: 2
            tipText: qsTr("Cancel")
            onClicked: root.cancel(root.row)
        }
    }

    FailedTable {
        id: failed
        objectName: "groupFailedTable"
        width: root.width
        visible: root.errorCount > 0 && lineCount > 0
        model: root.failedModel
        statusKey: root.statusKey
    }
}
