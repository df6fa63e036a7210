import QtQuick 2.15
import "../Common"
import "../Maintenance"

// Writes the selected devices' identity and network settings to a CSV file the user names.
// For recorders the page is the whole area: a cover over the area's tab bar keeps it from
// reacting.
OperationPage {
    id: page

    objectName: "exportDevicesPage"
    pageName: "SetupDetail"

    pageCtrl: typeof exportDevicesPageCtrl !== "undefined" ? exportDevicesPageCtrl : null
    devicesModel: typeof exportDevicesDevicesModel !== "undefined" ? exportDevicesDevicesModel : null
    devicesModelCtrl: typeof exportDevicesDevicesModelCtrl !== "undefined" ? exportDevicesDevicesModelCtrl : null
    failedModel: typeof exportDevicesFailedModel !== "undefined" ? exportDevicesFailedModel : null

    property var systemController: typeof systemCtrl !== "undefined" ? systemCtrl : null
    property bool recorderMode: false
    property int tabBarHeight: 70
    readonly property alias dialogLoader: dialogLoader

    hasSuccessState: true
    startText: qsTr("Export now")
    runningText: qsTr("Exporting")
    failureText: qsTr("Failed to export")
    successText: qsTr("Exported successfully")
    leavingText: qsTr("Exporting device list.\nAre you sure you want to leave?")
    abortText: qsTr("Failed to export device list.\nAre you sure you want to abort?")
    startFailedText: qsTr("Failed to export")
    detailButtonName: "fileDetailBtn"
    leaveWindowName: "leaveExportDevicesWindow"
    messageWindowName: "exportDevicesMessageWindow"

    function exportTo(url) {
        if (pageCtrl)
            pageCtrl.start(url);
    }

    onStartRequested: {
        dialogLoader.active = true;
        var dialog = dialogLoader.item;
        if (!dialog)
            return;
        if (systemController)
            dialog.folder = systemController.desktopFileUrl();
        dialog.open();
    }

    Connections {
        target: page.pageCtrl
        ignoreUnknownSignals: true
        function onWriteFileFailed() {
            page.showMessage(qsTr("Failed to write file to disk"));
        }
    }

    belowContent: OpenFolderButton {
        objectName: "openFolderButton"
        visible: page.pageState === "Success"
        onClicked: {
            if (page.pageCtrl)
                Qt.openUrlExternally(page.pageCtrl.lastDirPath());
        }
    }

    Loader {
        id: dialogLoader
        active: false
        source: "ExportDevicesFileDialog.qml"
    }
    Connections {
        target: dialogLoader.item
        ignoreUnknownSignals: true
        function onAccepted() {
            page.exportTo(dialogLoader.item.fileUrl);
        }
    }

    MouseArea {
        objectName: "tabBarCover"
        parent: page
        visible: page.recorderMode
        y: -page.tabBarHeight
        width: page.width
        height: page.tabBarHeight
        hoverEnabled: true
        acceptedButtons: Qt.AllButtons
        preventStealing: true
        onWheel: wheel.accepted = true
    }
}
