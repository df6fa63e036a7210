import QtQuick 2.15

// A page's operation panel: the operation button bound to the page controller (pageStatus,
// errorCount, statusKey, progress) and the devices model's count, the device table it opens
// and closes, and the failed devices below it once the page failed.
Column {
    id: root

    property var pageCtrl: null
    property var devicesModel: null
    property var devicesModelCtrl: null
    property var failedModel: null
    property alias prepareText: button.prepareText
    property alias parsingText: button.parsingText
    property alias loadingText: button.loadingText
    property alias waitingText: button.waitingText
    property alias warningText: button.warningText
    property alias successText: button.successText
    readonly property alias button: button
    readonly property alias tableBox: tableBox
    readonly property alias failedTable: failed
    readonly property string statusKey: pageCtrl ? pageCtrl.statusKey : ""

    signal itemBtnClicked
    signal refreshBtnClicked
    signal cancelBtnClicked

    spacing: 12

    ItemDetailButton {
        id: button
        width: 350
        height: 60
        status: root.pageCtrl ? root.pageCtrl.pageStatus : -1
        errorCount: root.pageCtrl ? root.pageCtrl.errorCount : 0
        progressPercent: root.pageCtrl ? root.pageCtrl.progress : 0
        count: root.devicesModel ? (root.devicesModel.count !== undefined ? root.devicesModel.count : root.devicesModel.rowCount()) : 0
        detailOpened: tableBox.opened
        onItemBtnClicked: root.itemBtnClicked()
        onRefreshBtnClicked: root.refreshBtnClicked()
        onCancelBtnClicked: root.cancelBtnClicked()
        onDetailBtnClicked: tableBox.toggle()
    }

    FailedTable {
        id: failed
        width: 350
        visible: button.failedTableAvailable && lineCount > 0
        model: root.failedModel
        statusKey: root.statusKey
    }

    TableBox {
        id: tableBox
        width: 0
        height: 0
        anchorItem: button
        model: root.devicesModel
        ctrl: root.devicesModelCtrl
        statusKey: root.statusKey
    }
}
