import QtQuick 2.15

// The operation button of the application pages: the page button with a line naming the file
// (licence or package) it works with, under the button.
Column {
    id: root

    property string fileText: ""
    readonly property alias button: button
    property alias status: button.status
    property alias count: button.count
    property alias errorCount: button.errorCount
    property alias progressPercent: button.progressPercent
    property alias prepareText: button.prepareText
    property alias parsingText: button.parsingText
    property alias loadingText: button.loadingText
    property alias waitingText: button.waitingText
    property alias warningText: button.warningText
    property alias successText: button.successText
    property alias detailOpened: button.detailOpened

    signal itemBtnClicked
    signal detailBtnClicked
    signal refreshBtnClicked
    signal cancelBtnClicked

    spacing: 6

    ItemDetailButton {
        id: button
        width: 350
        height: 60
        onItemBtnClicked: root.itemBtnClicked()
        onDetailBtnClicked: root.detailBtnClicked()
        onRefreshBtnClicked: root.refreshBtnClicked()
        onCancelBtnClicked: root.cancelBtnClicked()
    }
    Text {
        objectName: "zapkFileText"
        visible: text !== ""
        width: 350
        text: root.fileText
        color: "#bbd0d6"
        font.pixelSize: 12
        elide: Text.ElideMiddle
    }
}
