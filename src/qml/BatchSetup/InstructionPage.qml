import QtQuick 2.15
import "../Common"

// The first page of batch setup: the three steps, the template-camera window and the template
// file import. A template that loads makes the top page show the settings (loaded()).
Page {
    id: page

    objectName: "InstructionPage"
    pageName: "Instruction"

    property var pageCtrl: typeof batchSetupPageCtrl !== "undefined" ? batchSetupPageCtrl : null
    readonly property alias cameraWindow: cameraWindow
    readonly property alias loadingBlock: loadingBlock
    readonly property alias messageWindow: messageWindow
    readonly property alias importLoader: importLoader

    // The BatchSetupPage_ codes of a template read.
    readonly property int importSuccess: 200
    readonly property int importAuthFail: 202
    readonly property int importTimeout: 203

    signal loaded

    function toggleCameraWindow() {
        cameraWindow.visible = !cameraWindow.visible;
    }
    function hideCameraWindow() {
        cameraWindow.visible = false;
    }
    function openImport() {
        importLoader.active = true;
        if (importLoader.item)
            importLoader.item.open();
    }
    function readFromCamera() {
        loadingBlock.visible = true;
        if (!pageCtrl || !pageCtrl.readCurrentOptionFromCamera())
            loadingBlock.visible = false;
    }
    function importFrom(url) {
        loadingBlock.visible = true;
        importTimer.url = url;
        importTimer.restart();
    }
    function warn(text) {
        messageWindow.warningText = text;
        messageWindow.open();
    }

    Row {
        anchors.centerIn: parent
        anchors.verticalCenterOffset: -30
        spacing: 60
        StepPicture { number: 1; caption: qsTr("Create a template") }
        StepPicture { number: 2; caption: qsTr("Set up") }
        StepPicture { number: 3; caption: qsTr("Apply the template to devices") }
    }

    CameraSelectWindow {
        id: cameraWindow
        x: 20
        y: 0
        z: 10
        onCameraChosen: page.readFromCamera()
    }

    Timer {
        id: importTimer
        property url url
        interval: 500
        repeat: false
        onTriggered: {
            if (!page.pageCtrl || !page.pageCtrl.importCurrentOptionsFromUrl(url))
                loadingBlock.visible = false;
        }
    }

    Connections {
        target: page.pageCtrl
        ignoreUnknownSignals: true
        function onReadCurrentOptionFromCameraCompleted(iResult) {
            loadingBlock.visible = false;
            if (iResult === page.importSuccess)
                page.loaded();
            else if (iResult === page.importAuthFail)
                page.warn(qsTr("Failed to verify user name/password"));
            else if (iResult === page.importTimeout)
                page.warn(qsTr("Session expired. Try again later"));
            else
                page.warn(qsTr("Failed to create from camera"));
        }
        function onReadCurrentOptionFromFileCompleted(iResult) {
            loadingBlock.visible = false;
            if (iResult === page.importSuccess)
                page.loaded();
            else
                page.warn(qsTr("The file cannot be opened"));
        }
    }

    ImportingBlock {
        id: loadingBlock
        objectName: "InstructionPageLoadingBlock"
        text: qsTr("Loading")
        visible: false
    }

    WarningWindow {
        id: messageWindow
        objectName: "InstructionPageMessageWindow"
        hostWindow: page.hostWindow
        showLeftButton: false
        rightBtnText: qsTr("OK")
    }

    Loader {
        id: importLoader
        active: false
        source: "ImportFileDialog.qml"
    }
    Connections {
        target: importLoader.item
        ignoreUnknownSignals: true
        function onAccepted() { page.importFrom(importLoader.item.fileUrl); }
    }
}
