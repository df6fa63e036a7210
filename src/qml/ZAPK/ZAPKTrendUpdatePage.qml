import QtQuick 2.15
import "../Common"
import "../OstraQuick"

// The "Update signature" tab of Trend Micro IoT Security: the update mode chosen and applied on
// the selected devices, then, after "Manual update" was applied, a signature file uploaded to
// them. Each step shows its result and its device table.
Item {
    id: root

    property var ctrl: null
    property var setupWindow: null
    // "", "auto" or "manual": the choice made, applied by "Apply".
    property string choice: ""
    // "", "busy", "success" or "failure": the mode's result.
    property string modeState: ""
    property bool manualApplied: false
    property bool aborted: false
    property bool uploadStarted: false
    property string lastFile: ""
    readonly property bool failed: modeState === "failure" || (uploadStarted && signatureButton.displayState === "warning")
    readonly property bool sending: modeState === "busy"
    readonly property alias modeBox: modeBox
    readonly property alias signatureBox: signatureBox
    readonly property alias signatureButton: signatureButton
    readonly property alias dialogLoader: dialogLoader

    signal fileDialogRequested

    function reset() {
        choice = "";
        modeState = "";
        manualApplied = false;
        aborted = false;
        uploadStarted = false;
        lastFile = "";
        modeBox.close();
        signatureBox.close();
    }

    function applyMode() {
        if (!ctrl || choice === "")
            return;
        aborted = false;
        modeState = "busy";
        ctrl.setAutoUpdate(choice === "auto");
    }

    function modeResult(success) {
        if (aborted || modeState !== "busy")
            return;
        modeState = success ? "success" : "failure";
        if (success && choice === "manual")
            manualApplied = true;
    }

    function upload(file) {
        if (!ctrl || file === "")
            return;
        lastFile = file;
        uploadStarted = true;
        if (setupWindow)
            setupWindow.sending = true;
        ctrl.uploadTrendMicroConfig(file);
    }

    function chooseSignature() {
        fileDialogRequested();
        dialogLoader.active = true;
        var dialog = dialogLoader.item;
        if (!dialog)
            return;
        dialog.objectName = "fileDialog";
        dialog.title = qsTr("Select File");
        dialog.nameFilters = [qsTr("zip files (*.zip)")];
        dialog.open();
    }

    Connections {
        target: root.ctrl
        ignoreUnknownSignals: true
        function onSetModeResult(success) { root.modeResult(success); }
    }

    Text {
        objectName: "updateSignatureTitle"
        x: 20
        y: 20
        text: qsTr("Update signature")
        color: "#ffffff"
        font.pixelSize: 16
    }

    Row {
        x: 20
        y: 56
        spacing: 24
        RadioBox {
            objectName: "radioAuto"
            text: qsTr("Auto update")
            checked: root.choice === "auto"
            enabled: !root.sending
            onClicked: root.choice = "auto"
        }
        RadioBox {
            objectName: "radioManual"
            text: qsTr("Manual update")
            checked: root.choice === "manual"
            enabled: !root.sending
            onClicked: root.choice = "manual"
        }
    }

    Row {
        id: modeRow
        anchors.right: parent.right
        anchors.rightMargin: 16
        y: 48
        height: 34
        spacing: 8
        LoadingBusy {
            objectName: "modeBusy"
            anchors.verticalCenter: parent.verticalCenter
            width: 20
            height: 20
            visible: root.modeState === "busy"
        }
        Image {
            objectName: "modeSuccessIcon"
            anchors.verticalCenter: parent.verticalCenter
            width: 20
            height: 20
            sourceSize: Qt.size(48, 48)
            source: "qrc:/src/qml/res/images/Item_success_Icon.png"
            visible: root.modeState === "success"
        }
        Text {
            objectName: "modeFailureText"
            anchors.verticalCenter: parent.verticalCenter
            visible: root.modeState === "failure"
            text: qsTr("Try again")
            color: "#f7c46c"
            font.pixelSize: 13
        }
        CorvaneButton {
            objectName: "btnApplyMode"
            width: 90
            height: 34
            btnText: qsTr("Apply")
            actived: true
            enabled: root.choice !== "" && !root.sending
            onApply: root.applyMode()
        }
        ZyrButton {
            id: modeDetail
            objectName: "btnUpdateModeDetail"
            width: 34
            height: 34
            normalColor: modeBox.opened ? "#1b8b9d" : "#2f3541"
            hoverColor: "#3a404d"
            radius: 2
            normalSource: "qrc:/src/qml/res/images/Common_extend_arrow_Icon.png"
            btnImgInfo.rotation: modeBox.opened ? 180 : 0
            tipText: qsTr("Device list")
            onClicked: modeBox.toggle()
        }
    }

    Item {
        x: 20
        y: 100
        width: parent.width - 40
        height: 60
        visible: root.manualApplied

        ItemDetailButton {
            id: signatureButton
            objectName: "btnImportSignature"
            width: parent.width - 30
            height: 60
            status: root.uploadStarted && root.ctrl ? root.ctrl.pageStatus : -1
            count: 1
            errorCount: root.ctrl && root.ctrl.errorCount !== undefined ? root.ctrl.errorCount : 0
            progressPercent: root.ctrl && root.ctrl.progress !== undefined ? root.ctrl.progress : 0
            prepareText: qsTr("Select signature file")
            loadingText: qsTr("Updating")
            waitingText: qsTr("Updating")
            warningText: qsTr("Failed to update")
            successText: qsTr("Update successfully")
            detailOpened: signatureBox.opened
            onItemBtnClicked: root.chooseSignature()
            onRefreshBtnClicked: root.upload(root.lastFile)
            onDetailBtnClicked: signatureBox.toggle()
        }
        Image {
            objectName: "updateSignatureSuccessIcon"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            width: 20
            height: 20
            sourceSize: Qt.size(48, 48)
            source: "qrc:/src/qml/res/images/Item_success_Icon.png"
            visible: signatureButton.displayState === "success"
        }
    }

    ZAPKResultBox {
        id: modeBox
        anchorItem: modeDetail
        hostWindow: root.setupWindow
        statusKey: "zapkTrendMicroMode"
        failureText: qsTr("Failed to apply")
        showSignature: true
    }
    ZAPKResultBox {
        id: signatureBox
        anchorItem: signatureButton
        hostWindow: root.setupWindow
        statusKey: "zapkTrendMicroUpload"
        failureText: qsTr("Failed to update")
        showSignature: true
    }

    Loader {
        id: dialogLoader
        active: false
        source: "ZAPKFileDialog.qml"
    }
    Connections {
        target: dialogLoader.item
        ignoreUnknownSignals: true
        function onAccepted() { root.upload(String(dialogLoader.item.fileUrl)); }
    }
}
