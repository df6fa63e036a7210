import QtQuick 2.15
import "../Common"
import "../OstraQuick"
import "../js/StatusTable.js" as StatusTable

// One model group of the camera firmware page: its button, drawn by the group's status, and the
// group's failed devices below it.
//   -1 no file     the model; a click chooses the group's file
//    1 file        the model and the file name; a click chooses another; cancel forgets it
//    2 queued      the model, dimmed; cancel takes it out of the queue
//    3 upgrading   the model and the progress
//    4 finished    "Updated successfully", or the model with a warning and a retry
Column {
    id: root

    property int row: -1
    property string modelName: ""
    property string fileName: ""
    property int status: -1
    property int count: 0
    property int errorCount: 0
    property int progress: 0
    property string statusKey: "firmware"
    property var failedModel: null
    property bool detailOpened: false
    property alias buttonName: button.objectName
    readonly property alias button: button
    readonly property alias failedTable: failed
    readonly property bool cancelable: status === 1 || status === 2

    // The file name as it fits beside the cancel button: the part the metrics kept at either
    // end, joined by three dots (the ellipsis sign the metrics use may be missing in the font).
    function shortFileName() {
        var full = fileName;
        var cut = shortName.elidedText;
        if (cut === full || cut.length === 0)
            return full;
        var head = 0;
        while (head < cut.length && cut[head] === full[head])
            ++head;
        var tail = 0;
        while (tail < cut.length - head && cut[cut.length - 1 - tail] === full[full.length - 1 - tail])
            ++tail;
        return full.substring(0, head) + "..." + full.substring(full.length - tail);
    }

    signal chooseFile(int row)
    signal showDevices(int row)
    signal cancel(int row)
    signal retry(int row)

    spacing: 8

    ItemDetailButton {
        id: button
        width: root.width
        height: 60
        // A chosen file looks like the choice itself: the group's button, not the busy look.
        status: root.status === 1 ? -1 : root.status
        count: root.count
        errorCount: root.errorCount
        progressPercent: root.progress
        prepareText: root.status === 1 && root.fileName !== "" ? root.modelName + "\n" + root.shortFileName() : root.modelName
        waitingText: root.modelName
        loadingText: root.modelName
        warningText: root.modelName
        successText: qsTr("Updated successfully")
        detailOpened: root.detailOpened
        onItemBtnClicked: root.chooseFile(root.row)
        onDetailBtnClicked: root.showDevices(root.row)
        onRefreshBtnClicked: root.retry(root.row)

        ZyrButton {
            objectName: "groupCancelButton"
            visible: root.cancelable
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

    // The caption is centred on the button: a long file name is cut in its middle so that it
    // stays clear of the cancel button.
    TextMetrics {
        id: shortName
        text: root.fileName
        font.family: typeof _GProperty_ !== "undefined" ? _GProperty_.defaultFamily : "sans"
        font.pixelSize: 16
        elide: Text.ElideMiddle
        elideWidth: root.width - 140
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
