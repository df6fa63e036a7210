import QtQuick 2.15
import "../Common"

// Resets the selected devices to factory settings, keeping the groups of settings the user
// checks as exceptions.
OperationPage {
    id: page

    objectName: "restorePage"
    pageName: "Restore"

    pageCtrl: typeof restorePageCtrl !== "undefined" ? restorePageCtrl : null
    devicesModel: typeof restoreDevicesModel !== "undefined" ? restoreDevicesModel : null
    devicesModelCtrl: typeof restoreDevicesModelCtrl !== "undefined" ? restoreDevicesModelCtrl : null
    failedModel: typeof restoreFailedModel !== "undefined" ? restoreFailedModel : null

    startText: qsTr("Restore now")
    runningText: qsTr("Restoring")
    failureText: qsTr("Failed to restore")
    successText: qsTr("Restored successfully")
    leavingText: qsTr("Restoring devices.\nAre you sure you want to leave?")
    abortText: qsTr("Some devices failed to restore.\nAre you sure you want to abort?")
    detailButtonName: "restoreDetailBtn"
    leaveWindowName: "leaveRestoreWindow"
    messageWindowName: "restoreMessageWindow"

    // The exceptions, each a bit of the mask the devices controller takes.
    readonly property var exceptions: [
        { name: "networkCheckBox", text: qsTr("Network"), value: 1 },
        { name: "dstCheckBox", text: qsTr("Daylight saving time"), value: 2 },
        { name: "customLanguageCheckBox", text: qsTr("Custom language"), value: 4 },
        { name: "zapkCheckBox", text: qsTr("ZAPK"), value: 8 },
        { name: "focusPositionCheckBox", text: qsTr("Focus position"), value: 16 },
        { name: "lensConfigurationCheckBox", text: qsTr("Lens configuration"), value: 32 }
    ]

    function excludeMask() {
        var mask = 0;
        for (var i = 0; i < boxes.count; ++i) {
            var box = boxes.itemAt(i);
            if (box && box.checked)
                mask += exceptions[i].value;
        }
        return mask;
    }

    onStartRequested: confirmWindow.open()

    Column {
        width: parent.width
        spacing: 12
        enabled: page.pageStatus !== 3 && page.pageStatus !== 2

        Text {
            objectName: "exceptionsTitle"
            width: parent.width
            text: qsTr("Select exceptions for restoring to factory default:")
            color: _GProperty_.fontSet.f001.color
            font.family: _GProperty_.fontSet.f001.family
            font.pixelSize: _GProperty_.fontSet.f001.size
            wrapMode: Text.Wrap
        }
        Column {
            spacing: 10
            Repeater {
                id: boxes
                model: page.exceptions
                CorvaneCheckBox {
                    objectName: modelData.name
                    width: Math.min(implicitWidth, 350)
                    text: modelData.text
                }
            }
        }
    }

    WarningWindow {
        id: confirmWindow
        objectName: "confirmRestoreWindow"
        hostWindow: page.hostWindow
        warningText: qsTr("Selected cameras will be restored. Are you sure you want to restore?")
        leftBtnText: qsTr("Restore")
        onLeftBtnClicked: {
            if (!page.pageCtrl)
                return;
            page.pageCtrl.setExcludeGroup(page.excludeMask());
            page.pageCtrl.start();
        }
    }
}
