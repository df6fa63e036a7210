import QtQuick 2.15

// Minimal main page: the frame relies on these properties, signals and
// functions; the device table and its dialogs live beside it.
Item {
    id: mainPage
    objectName: "mainPage"

    property int topMargin: 147
    property bool searching: false
    property bool isRangedSearch: false
    property string strSearchIPStart: ""
    property string strSearchIPEnd: ""
    property int requiredTime: 0
    property bool isStopping: false
    property bool searchWhenEnteringPage: false

    signal resetNaviView()

    function search() {
        if (typeof mainPageCtrl !== "undefined")
            searching = mainPageCtrl.startSearchDevices();
    }

    function enterPage() {
        if (searchWhenEnteringPage) {
            searchWhenEnteringPage = false;
            search();
        }
    }

    function leavePage() {
    }

    Connections {
        target: typeof mainPageCtrl !== "undefined" ? mainPageCtrl : null
        function onSearchStopped() { mainPage.searching = false; }
    }

    DeviceTable {
        objectName: "deviceTable"
        anchors.fill: parent
        anchors.topMargin: mainPage.topMargin
        tableModel: deviceListModel
        tableCtrl: mainPageDeviceListCtrl
    }
}
