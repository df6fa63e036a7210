import QtQuick 2.15
import "../Common"
import "../OstraQuick"

// The "Batch setup" tab of the Stereo window: a template exported from one device that runs the
// module, and a template applied to the selected devices.
Item {
    id: root

    property var ctrl: null
    property var setupWindow: null
    property string module: ""
    // "", "busy", "success" or the failure text of the last export.
    property string exportState: ""
    property string exportPath: ""
    property var lastExportFolder: ""
    property string templateFile: ""
    property bool applyStarted: false
    readonly property bool sending: exportState === "busy"
    readonly property bool failed: (exportState !== "" && exportState !== "busy" && exportState !== "success")
                                   || (applyStarted && applyButton.displayState === "warning")
    readonly property alias applyButton: applyButton
    readonly property alias selectWindow: selectWindow
    readonly property alias applyBox: applyBox

    signal folderDialogRequested
    signal fileDialogRequested

    function reset() {
        exportState = "";
        exportPath = "";
        applyStarted = false;
        templateFile = "";
        applyBox.close();
        selectWindow.close();
    }

    function exportClicked() {
        if (!ctrl)
            return;
        ctrl.exportClicked();
        ctrl.setStereoExportPackage(module);
        selectWindow.reset();
        selectWindow.open();
    }

    // The device chosen in the selection window: a folder, then the export.
    property int chosenIndex: -1
    property string chosenIp: ""
    function deviceChosen(zapkIndex, ip) {
        chosenIndex = zapkIndex;
        chosenIp = ip;
        folderDialogRequested();
        openDialog("dirSelectorDialog", qsTr("Export"), true, [], "");
    }
    function exportTo(folder) {
        if (!ctrl || String(folder) === "")
            return;
        lastExportFolder = folder;
        exportState = "busy";
        ctrl.setZAPKExportDir(folder);
        ctrl.exportStereo(module, chosenIndex, chosenIp);
    }
    function exportFinished(result) {
        if (exportState !== "busy")
            return;
        if (result === "success") {
            exportState = "success";
            exportPath = ctrl && ctrl.stereoExportPath !== undefined ? ctrl.stereoExportPath : "";
        } else if (result === "timeout") {
            exportState = qsTr("Session expired. Try again later");
        } else if (result === "auth fail") {
            exportState = qsTr("Failed to verify user name/password");
        } else {
            exportState = qsTr("Failed to export");
        }
    }

    function chooseTemplate() {
        fileDialogRequested();
        openDialog("fileDialog", qsTr("Select File"), false, [qsTr("All files (*)")], lastExportFolder);
    }
    function templateChosen(url) {
        templateFile = String(url);
        applyStarted = false;
        if (ctrl) {
            ctrl.clearPage();
            ctrl.clearAllStatus();
        }
    }
    function apply() {
        if (!ctrl || templateFile === "")
            return;
        applyStarted = true;
        if (setupWindow)
            setupWindow.sending = true;
        ctrl.uploadStereoConfig(templateFile, module);
    }

    function openDialog(name, title, folder, filters, start) {
        dialogLoader.active = true;
        var d = dialogLoader.item;
        if (!d)
            return;
        d.objectName = name;
        d.title = title;
        d.selectFolder = folder;
        d.nameFilters = filters.length ? filters : [qsTr("All files (*)")];
        if (String(start) !== "")
            d.folder = start;
        d.open();
    }

    Connections {
        target: root.ctrl
        ignoreUnknownSignals: true
        function onExportResult(result) { root.exportFinished(result); }
    }

    Column {
        x: 20
        y: 16
        width: parent.width - 40
        spacing: 8

        Text {
            objectName: "exportTemplateTitle"
            text: qsTr("Export a template from device")
            color: "#ffffff"
            font.pixelSize: 15
        }
        Text {
            objectName: "anprVersionNote"
            visible: root.module === "ANPR"
            width: parent.width
            wrapMode: Text.Wrap
            text: qsTr("(The ZAPK package version must be later than 3.2.6.5)") + "\n"
                  + qsTr("The template will only include General configuration and LPR configuration at the moment.")
            color: "#bbd0d6"
            font.pixelSize: 12
        }
        Row {
            spacing: 8
            height: 34
            CorvaneButton {
                objectName: "btnExport"
                width: 110
                height: 34
                btnText: qsTr("Export")
                actived: true
                enabled: !root.sending
                onApply: root.exportClicked()
            }
            LoadingBusy {
                objectName: "stereoExportBusy"
                anchors.verticalCenter: parent.verticalCenter
                width: 20
                height: 20
                visible: root.sending
            }
            Image {
                objectName: "stereoExportSuccessIcon"
                anchors.verticalCenter: parent.verticalCenter
                width: 20
                height: 20
                sourceSize: Qt.size(48, 48)
                source: "qrc:/src/qml/res/images/Item_success_Icon.png"
                visible: root.exportState === "success"
            }
            Text {
                objectName: "stereoExportFailureText"
                anchors.verticalCenter: parent.verticalCenter
                visible: root.exportState !== "" && root.exportState !== "busy" && root.exportState !== "success"
                text: visible ? root.exportState : ""
                color: "#f7c46c"
                font.pixelSize: 13
            }
            ZyrButton {
                objectName: "btnOpenStereoExportFolder"
                anchors.verticalCenter: parent.verticalCenter
                width: 34
                height: 34
                visible: root.exportState === "success" && root.exportPath !== ""
                normalColor: "#2f3541"
                hoverColor: "#3a404d"
                radius: 2
                normalSource: "qrc:/src/qml/res/images/Export_OpenFolder.png"
                btnImgInfo.sourceSize: Qt.size(40, 40)
                btnImgInfo.width: 20
                btnImgInfo.height: 20
                tipText: qsTr("Open folder")
                onClicked: Qt.openUrlExternally(root.exportPath)
            }
        }

        Item { width: 1; height: 8 }

        Row {
            spacing: 8
            ItemDetailButton {
                id: applyButton
                objectName: "btnSelectTemplate"
                width: root.width - 40 - 98
                height: 60
                status: root.applyStarted && root.ctrl ? root.ctrl.pageStatus : -1
                count: 1
                errorCount: root.ctrl && root.ctrl.errorCount !== undefined ? root.ctrl.errorCount : 0
                progressPercent: root.ctrl && root.ctrl.progress !== undefined ? root.ctrl.progress : 0
                prepareText: root.templateFile !== "" ? root.templateFile.substring(root.templateFile.lastIndexOf("/") + 1)
                                                      : qsTr("Select a template for setup")
                loadingText: qsTr("Applying")
                waitingText: qsTr("Applying")
                warningText: qsTr("Failed to apply")
                successText: qsTr("Applied successfully")
                detailOpened: applyBox.opened
                onItemBtnClicked: root.chooseTemplate()
                onRefreshBtnClicked: root.apply()
                onDetailBtnClicked: applyBox.toggle()
            }
            CorvaneButton {
                objectName: "btnApply"
                anchors.verticalCenter: parent.verticalCenter
                width: 90
                height: 34
                btnText: qsTr("Apply")
                actived: true
                enabled: root.templateFile !== "" && !(root.applyStarted && root.ctrl && (root.ctrl.pageStatus === 2 || root.ctrl.pageStatus === 3))
                onApply: root.apply()
            }
        }
    }

    ZAPKResultBox {
        id: applyBox
        anchorItem: applyButton
        hostWindow: root.setupWindow
        statusKey: "zapkStereoUpload"
        failureText: qsTr("Failed to apply")
    }

    ZAPKCameraSelectWindow {
        id: selectWindow
        hostWindow: root.setupWindow ? root.setupWindow.hostWindow : null
        onExportChosen: root.deviceChosen(zapkIndex, ip)
    }

    Loader {
        id: dialogLoader
        active: false
        source: "ZAPKFileDialog.qml"
    }
    Connections {
        target: dialogLoader.item
        ignoreUnknownSignals: true
        function onAccepted() {
            var d = dialogLoader.item;
            if (d.selectFolder)
                root.exportTo(d.fileUrl);
            else
                root.templateChosen(d.fileUrl);
        }
    }
}
