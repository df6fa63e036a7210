import QtQuick 2.15
import "../Common"

// The recorder firmware page, the whole maintenance area in recorder mode: one panel per model
// group, each with its own file and start; finished groups stay listed. Below, the devices of
// the group looked at. The area's tab bar has nothing to offer here, so a strip over it takes
// every click.
FirmwarePageFrame {
    id: page

    objectName: "nvrFirmwarePage"
    pageName: "NVRFirmware"

    removeFinishedGroups: false
    fileFilters: [qsTr("Firmware files (*.img)")]
    leaveWindowName: "leaveNVRFirmwareWindow"
    messageWindowName: "nvrFirmwareMessageWindow"
    readonly property alias groupList: groupList
    readonly property alias deviceTable: deviceTable
    readonly property int coverHeight: hostWindow && hostWindow.bigScreen === true ? 140 : 70

    ListView {
        id: groupList
        objectName: "nvrFirmwareGroupList"
        x: 40
        y: 30
        width: page.width - 2 * x
        height: Math.max(120, contentItem.childrenRect.height)
        orientation: ListView.Horizontal
        spacing: 30
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        model: page.pageModel

        delegate: FirmwareNVRGroupPanel {
            objectName: "nvrGroup_" + index
            row: index
            modelName: model.modelRole !== undefined ? model.modelRole : ""
            fileName: model.filenameRole !== undefined ? model.filenameRole : ""
            status: model.statusRole !== undefined ? model.statusRole : -1
            count: model.countRole !== undefined ? model.countRole : 0
            errorCount: model.errorCountRole !== undefined ? model.errorCountRole : 0
            progress: model.progressRole !== undefined ? model.progressRole : 0
            statusKey: model.statusIndexRole !== undefined ? model.statusIndexRole : page.statusKey
            failedModel: model.failedDevicesModelRole !== undefined ? model.failedDevicesModelRole : null
            detailOpened: page.displayedRow === index
            onChooseFile: page.openFileDialog(row)
            onShowDevices: page.showDevices(row)
            onStart: page.startGroup(row)
            onRetry: page.retryGroup(row)
        }
    }

    FirmwareDeviceTable {
        id: deviceTable
        x: 40
        y: groupList.y + groupList.height + 20
        width: page.width - 2 * x
        height: page.height - y - 30
        model: page.devicesModel
        ctrl: page.devicesModelCtrl
        statusKey: page.statusKey
    }

    MouseArea {
        objectName: "tabBarCover"
        parent: page
        y: -page.coverHeight
        width: page.width
        height: page.coverHeight
        hoverEnabled: true
        acceptedButtons: Qt.AllButtons
        preventStealing: true
        onWheel: wheel.accepted = true
    }
}
