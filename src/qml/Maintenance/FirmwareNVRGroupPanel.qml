import QtQuick 2.15
import "../Common"
import "../OstraQuick"

// One model group of the recorder firmware page: the model name, the group's button, its own
// "Apply" and "Select another file", and its failed devices. Without a file the button is the
// choice ("Select firmware to update"); once a file is chosen it shows the file name and only
// "Select another file" changes it. A group that finished stays, to be run again.
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
    readonly property bool hasFile: fileName !== "" && status !== -1
    readonly property alias button: button
    readonly property alias applyButton: applyButton
    readonly property alias selectButton: selectButton
    readonly property alias failedTable: failed

    signal chooseFile(int row)
    signal showDevices(int row)
    signal start(int row)
    signal retry(int row)

    width: 351
    spacing: 12

    Text {
        objectName: "groupModelText"
        width: root.width
        text: root.modelName
        color: "#ffffff"
        font.family: typeof _GProperty_ !== "undefined" ? _GProperty_.defaultFamily : font.family
        font.pixelSize: 22
        elide: Text.ElideRight
    }

    ItemDetailButton {
        id: button
        objectName: "fileDetailBtn0"
        width: root.width
        height: 60
        status: root.status === 1 ? -1 : root.status
        count: root.count
        errorCount: root.errorCount
        progressPercent: root.progress
        prepareText: root.hasFile ? root.fileName : qsTr("Select firmware to update")
        waitingText: root.fileName
        loadingText: root.fileName
        warningText: root.fileName
        successText: qsTr("Updated successfully")
        detailOpened: root.detailOpened
        onItemBtnClicked: {
            // With a file the button only names it; "Select another file" changes it.
            if (!root.hasFile)
                root.chooseFile(root.row);
        }
        onDetailBtnClicked: root.showDevices(root.row)
        onRefreshBtnClicked: root.retry(root.row)

        // The choice stands out while there is none; a chosen file is only named.
        Component.onCompleted: {
            for (var i = 0; i < children.length; ++i) {
                if (children[i].objectName === "itemButton")
                    children[i].actived = Qt.binding(function() { return !root.hasFile; });
            }
        }
    }

    Row {
        spacing: 11
        visible: root.hasFile

        CorvaneButton {
            id: applyButton
            objectName: "NVRbtnStartUpdate"
            width: 170
            height: 40
            btnText: qsTr("Apply")
            actived: true
            enabled: root.status === 1
            onApply: root.start(root.row)
        }
        CorvaneButton {
            id: selectButton
            objectName: "NVRbtnSelectAnotherFile"
            width: 170
            height: 40
            btnText: qsTr("Select another file")
            enabled: root.status === 4 || root.status === 1
            onApply: root.chooseFile(root.row)
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
