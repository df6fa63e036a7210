import QtQuick 2.15
import "../Common"

// The camera firmware page: the selected devices in groups by model, one file per group (or one
// for all of them), and the start of every group that has a file. Groups wait in the
// controller's queue and are upgraded one after the other; a group that ends without failures
// leaves the list while others remain. At the right, the devices of the group looked at.
FirmwarePageFrame {
    id: page

    objectName: "firmwarePage"
    pageName: "Firmware"

    removeFinishedGroups: true
    fileFilters: [qsTr("Firmware files (*.pkg)")]
    readonly property alias groupList: groupList
    readonly property alias deviceTable: deviceTable

    Item {
        id: left
        x: 40
        y: 30
        width: 350
        height: page.height - y - 30

        ItemDetailButton {
            id: allButton
            objectName: "selectAllFirmwareBtn"
            width: parent.width
            height: 60
            // Never anything but the choice: the groups below carry the run.
            status: -1
            count: page.devicesModel ? (page.devicesModel.count !== undefined ? page.devicesModel.count : page.devicesModel.rowCount()) : 0
            prepareText: qsTr("Select firmware to update")
            startEnabled: page.groupCount > 0
            detailOpened: page.displayedRow === -1
            onItemBtnClicked: page.openFileDialog(-1)
            onDetailBtnClicked: page.showDevices(-1)
        }

        ListView {
            id: groupList
            objectName: "firmwareGroupList"
            y: allButton.height + 20
            width: parent.width
            height: applyButton.y - y - 20
            clip: true
            spacing: 16
            boundsBehavior: Flickable.StopAtBounds
            model: page.pageModel

            delegate: FirmwareGroupItem {
                objectName: "firmwareGroup_" + index
                buttonName: "fileDetailBtn" + index
                width: groupList.width
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
                onCancel: page.cancelGroup(row)
                onRetry: page.retryGroup(row)
            }

            // A group that finished well slides out to the left; the rest close up after it.
            remove: Transition {
                ParallelAnimation {
                    NumberAnimation { property: "x"; to: -200; duration: 700 }
                    NumberAnimation { property: "opacity"; to: 0; duration: 700 }
                }
            }
            removeDisplaced: Transition {
                SequentialAnimation {
                    PauseAnimation { duration: 300 }
                    NumberAnimation { properties: "y"; duration: 300 }
                }
            }
        }

        CorvaneButton {
            id: applyButton
            objectName: "btnStartUpdate"
            y: parent.height - height
            width: parent.width
            height: 40
            btnText: qsTr("Apply")
            actived: true
            fontPixelSize: 16
            enabled: page.pageCtrl ? page.pageCtrl.isApplyButtonAvailable === true : false
            onApply: page.startAllGroups()
        }
    }

    FirmwareDeviceTable {
        id: deviceTable
        x: left.x + left.width + 24
        y: left.y
        width: page.width - x - 30
        height: left.height
        model: page.devicesModel
        ctrl: page.devicesModelCtrl
        statusKey: page.statusKey
    }
}
