import QtQuick 2.15
import "../Common"

// The "Update licenses" tab: the licence files chosen together form one group; each file goes
// to the device whose MAC it names. The device table follows the group looked at.
ZapkUploadPage {
    id: page

    objectName: "licensePage"
    pageName: "License"

    pageCtrl: typeof zapkLicensePageCtrl !== "undefined" ? zapkLicensePageCtrl : null
    pageModel: typeof zapkLicensePageModel !== "undefined" ? zapkLicensePageModel : null
    devicesModel: typeof zapkLicenseDevicesModel !== "undefined" ? zapkLicenseDevicesModel : null
    devicesModelCtrl: typeof zapkLicenseDevicesModelCtrl !== "undefined" ? zapkLicenseDevicesModelCtrl : null

    selectText: qsTr("Select license")
    // The table may show one group only: the choice counts every device of the page.
    selectCount: devicesModel ? (devicesModel.rawCount !== undefined ? devicesModel.rawCount
                                 : (devicesModel.count !== undefined ? devicesModel.count : devicesModel.rowCount())) : 0
    parsingText: qsTr("Updating license...")
    workingText: qsTr("Updating license...")
    successText: qsTr("Updated successfully")
    startFailedText: qsTr("Unable to apply file(s) to device(s). Upload another file and try again")
    dialogName: "zapkLicenseDialog"
    dialogTitle: qsTr("Select license")
    fileFilters: [qsTr("License files") + " (*.txt *.json)"]
    multipleFiles: true
    leaveWindowName: "leaveLicenseWindow"
    messageWindowName: "licenseMessageWindow"
    groupListName: "licenseGroupList"
    selectButtonName: "selectLicenseBtn"
    deviceTableName: "licenseDeviceTable"

    onEntered: if (pageCtrl) pageCtrl.setDisplayAllDevices()
    onDevicesShown: {
        if (!pageCtrl)
            return;
        if (row < 0)
            pageCtrl.setDisplayAllDevices();
        else
            pageCtrl.setDisplayDevices(row);
    }
}
