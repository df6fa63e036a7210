import QtQuick 2.15
import "../Common"

// Restarts the selected devices and waits until they answer again.
OperationPage {
    id: page

    objectName: "restartPage"
    pageName: "Restart"

    pageCtrl: typeof rebootPageCtrl !== "undefined" ? rebootPageCtrl : null
    devicesModel: typeof rebootDevicesModel !== "undefined" ? rebootDevicesModel : null
    devicesModelCtrl: typeof rebootDevicesModelCtrl !== "undefined" ? rebootDevicesModelCtrl : null
    failedModel: typeof rebootFailedModel !== "undefined" ? rebootFailedModel : null

    startText: qsTr("Restart now")
    runningText: qsTr("Restarting")
    failureText: qsTr("Failed to restart")
    successText: qsTr("Restarted successfully")
    leavingText: qsTr("Restarting devices.\nAre you sure you want to leave?")
    abortText: qsTr("Some devices failed to restart.\nAre you sure you want to abort?")
    detailButtonName: "restartDetailBtn"
    leaveWindowName: "leaveRestartWindow"
    messageWindowName: "restartMessageWindow"

    onStartRequested: confirmWindow.open()

    WarningWindow {
        id: confirmWindow
        objectName: "confirmRestartWindow"
        hostWindow: page.hostWindow
        warningText: qsTr("Selected cameras will be restarted. Are you sure you want to restart?")
        leftBtnText: qsTr("Restart")
        onLeftBtnClicked: {
            if (page.pageCtrl)
                page.pageCtrl.start();
        }
    }
}
