import QtQuick 2.15
import "../Common"

// The "Update packages" tab: each chosen package file becomes a group installed on every device
// of the page.
ZapkUploadPage {
    id: page

    objectName: "packagePage"
    pageName: "Package"

    pageCtrl: typeof zapkPackagePageCtrl !== "undefined" ? zapkPackagePageCtrl : null
    pageModel: typeof zapkPackagePageModel !== "undefined" ? zapkPackagePageModel : null
    devicesModel: typeof zapkPackageDevicesModel !== "undefined" ? zapkPackageDevicesModel : null
    devicesModelCtrl: typeof zapkPackageDevicesModelCtrl !== "undefined" ? zapkPackageDevicesModelCtrl : null

    selectText: qsTr("Select package")
    selectCount: devicesModel ? (devicesModel.count !== undefined ? devicesModel.count : devicesModel.rowCount()) : 0
    parsingText: qsTr("Opening package file")
    workingText: qsTr("  Updating")
    successText: qsTr("Updated successfully")
    startFailedText: qsTr("Unknown failure")
    dialogName: "zapkPackageDialog"
    dialogTitle: qsTr("Select package")
    fileFilters: [qsTr("gz files") + " (*.gz)"]
    multipleFiles: false
    leaveWindowName: "leavePackageWindow"
    messageWindowName: "packageMessageWindow"
    groupListName: "packageGroupList"
    selectButtonName: "selectPackageBtn"
    deviceTableName: "packageDeviceTable"
}
