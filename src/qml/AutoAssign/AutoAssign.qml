import QtQuick 2.15
import "../Common"
import "../OstraQuick"
import "../js/IpRange.js" as IpRange
import "AssignRules.js" as AssignRules

// The IP assignment page: the selected devices switch to DHCP, take one fixed address, or take
// consecutive addresses from a range. The question list at the left, the devices with their new
// addresses at the right. While the controller works the page is disabled and may only be left
// after a question; leaving hands the new addresses back to the main list.
TopLevelPage {
    id: page

    objectName: "autoAssignPage"
    pageName: "AutoAssign"
    statusBarHeight: height

    // The controllers, through properties so that a test can hand in its own.
    property var ctrl: typeof assignIpPageCtrl !== "undefined" ? assignIpPageCtrl : null
    property var devicesModel: typeof assignIpDevicesModel !== "undefined" ? assignIpDevicesModel : null
    property var devicesModelCtrl: typeof assignIpDevicesModelCtrl !== "undefined" ? assignIpDevicesModelCtrl : null

    readonly property string typeDhcp: "DHCP"
    readonly property string typeFixed: "Fixed IP"
    readonly property string typeRange: "IP range"
    property string assignMode: typeDhcp

    readonly property int numDevices: ctrl ? ctrl.numDevices : 0
    readonly property int numSkipped: ctrl ? ctrl.numSkipped : 0
    readonly property int numFailed: ctrl ? ctrl.numFailed : 0
    readonly property bool working: ctrl ? ctrl.working === true : false
    readonly property int availableDevices: AssignRules.availableDevices(numDevices, numSkipped)

    readonly property bool inputsAcceptable: assignMode === typeDhcp
                                             || (ipSrc.acceptable && ipDst.acceptable && submask.acceptable
                                                 && gateway.acceptable && dns1.acceptable && dns2.acceptable)
    readonly property bool applyEnabled: inputsAcceptable && availableDevices > 0 && !working

    readonly property alias searchBox: searchBox
    readonly property alias onlyFailedBox: onlyFailedBox

    blocking: working

    function tst_getAssignFailedNumber() {
        return numFailed;
    }

    function enterPage() {
        if (ctrl)
            ctrl.enterPage();
    }

    function leavePage() {
        searchBox.text = "";
        if (devicesModelCtrl)
            devicesModelCtrl.setFilter("");
        if (ctrl)
            ctrl.leavePage();
    }

    function resolveBlocking() {
        leaveWindow.answered = false;
        leaveWindow.open();
    }

    // What the main page knows of the last search: a range search, and the time a search of
    // the available devices is given.
    function rangedSearch() {
        var main = hostWindow && hostWindow.mainPage ? hostWindow.mainPage : null;
        if (!main)
            return false;
        if (main.lastSearchRanged !== undefined)
            return main.lastSearchRanged === true;
        return main.isRangedSearch === true;
    }
    function searchTime() {
        return IpRange.countTime(availableDevices);
    }

    function apply() {
        if (!ctrl || !applyEnabled)
            return;
        if (assignMode === typeFixed && availableDevices > 1) {
            confirmFixIpWindow.open();
            return;
        }
        run();
    }

    // The run itself, once any question is answered.
    function run() {
        if (!ctrl)
            return;
        ctrl.applyOnlyToFailed(onlyFailedBox.visible && onlyFailedBox.checked);
        if (assignMode === typeDhcp) {
            ctrl.assignDhcp();
        } else if (assignMode === typeFixed) {
            ctrl.assignFixedIp(ipDst.text, submask.text, gateway.text, dns1.text, dns2.text,
                               rangedSearch(), searchTime());
        } else {
            var range = AssignRules.orderedRange(ipSrc.text, ipDst.text);
            if (range[0] !== ipSrc.text) {
                ipSrc.text = range[0];
                ipDst.text = range[1];
            }
            ctrl.assignIpRange(ipSrc.text, ipDst.text, submask.text, gateway.text, dns1.text,
                               dns2.text, rangedSearch(), searchTime());
        }
    }

    function showMessage(text) {
        unknownWindow.warningText = text;
        unknownWindow.open();
    }

    Connections {
        target: page.ctrl
        ignoreUnknownSignals: true
        function onStartFailed(code) {
            page.showMessage(AssignRules.startFailedText(code));
        }
        function onEnterPageFailed(code) {
            page.showMessage(qsTr("Unknown failure"));
        }
    }

    Item {
        id: rootAutoAssign
        objectName: "rootAutoAssign"
        anchors.fill: parent

        Text {
            objectName: "pageTitle"
            x: 30
            y: 26
            width: 420
            height: 47
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
            text: qsTr("Assign IP to device(s)")
            color: _GProperty_.fontSet.f011.color
            font.family: _GProperty_.fontSet.f011.family
            font.pixelSize: 26
        }

        // The frame's status: the devices of the page, the failures and the busy text.
        Row {
            objectName: "assignStatus"
            anchors.right: parent.right
            anchors.rightMargin: 130
            y: 26
            height: 47
            spacing: 24

            Row {
                objectName: "assignBusy"
                visible: page.working
                anchors.verticalCenter: parent.verticalCenter
                spacing: 8
                LoadingBusy {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 20
                    height: 20
                    visible: page.working
                }
                Text {
                    objectName: "assignBusyText"
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("Assigning")
                    color: _GProperty_.fontSet.f001.color
                    font.family: _GProperty_.defaultFamily
                    font.pixelSize: 18
                }
            }
            Row {
                objectName: "assignFailedCount"
                visible: page.numFailed > 0
                anchors.verticalCenter: parent.verticalCenter
                spacing: 8
                Text {
                    anchors.baseline: failedCaption.baseline
                    text: page.numFailed
                    color: "#f7c46c"
                    font.family: _GProperty_.defaultFamily
                    font.pixelSize: 30
                }
                Text {
                    id: failedCaption
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("Failed to assign")
                    color: "#f7c46c"
                    font.family: _GProperty_.defaultFamily
                    font.pixelSize: 16
                }
            }
            Row {
                objectName: "assignSelectedCount"
                anchors.verticalCenter: parent.verticalCenter
                spacing: 8
                Text {
                    objectName: "assignSelectedNumber"
                    anchors.baseline: selectedCaption.baseline
                    text: page.numDevices
                    color: _GProperty_.fontSet.f001.color
                    font.family: _GProperty_.defaultFamily
                    font.pixelSize: 30
                }
                Text {
                    id: selectedCaption
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("selected")
                    color: _GProperty_.fontSet.f001.color
                    font.family: _GProperty_.defaultFamily
                    font.pixelSize: 16
                }
            }
        }

        Item {
            id: content
            objectName: "assignContent"
            y: 100
            width: parent.width
            height: parent.height - y
            enabled: !page.working

            Column {
                id: questions
                objectName: "assignQuestions"
                x: 30
                y: 16
                width: 200
                spacing: 10

                Column {
                    id: assignType
                    objectName: "assignType"
                    width: parent.width
                    spacing: 10
                    readonly property string currentText: page.assignMode
                    readonly property var optList: [page.typeDhcp, page.typeFixed, page.typeRange]

                    Repeater {
                        model: [
                            { name: "assignTypeDhcp", value: page.typeDhcp, text: qsTr("DHCP") },
                            { name: "assignTypeFixed", value: page.typeFixed, text: qsTr("Fixed IP") },
                            { name: "assignTypeRange", value: page.typeRange, text: qsTr("IP range") }
                        ]
                        RadioBox {
                            objectName: modelData.name
                            width: assignType.width
                            text: modelData.text
                            checked: page.assignMode === modelData.value
                            onClicked: {
                                page.assignMode = modelData.value;
                                checked = Qt.binding(function() { return page.assignMode === modelData.value; });
                            }
                        }
                    }
                }

                Item {
                    width: 1
                    height: 2
                }

                AssignAddressInput {
                    id: ipSrc
                    width: parent.width
                    inputBoxName: "ipSrcInputBox"
                    caption: qsTr("From")
                    visible: page.assignMode === page.typeRange
                    onEnterPressed: page.apply()
                }
                AssignAddressInput {
                    id: ipDst
                    width: parent.width
                    inputBoxName: "ipDstInputBox"
                    caption: page.assignMode === page.typeRange ? qsTr("To") : qsTr("IP")
                    visible: page.assignMode !== page.typeDhcp
                    onEnterPressed: page.apply()
                }
                AssignAddressInput {
                    id: submask
                    width: parent.width
                    inputBoxName: "submaskInputBox"
                    caption: qsTr("Submask")
                    mask: true
                    visible: page.assignMode !== page.typeDhcp
                    onEnterPressed: page.apply()
                }
                AssignAddressInput {
                    id: gateway
                    width: parent.width
                    inputBoxName: "gatewayInputBox"
                    caption: qsTr("Gateway")
                    visible: page.assignMode !== page.typeDhcp
                    onEnterPressed: page.apply()
                }
                AssignAddressInput {
                    id: dns1
                    width: parent.width
                    inputBoxName: "dns1InputBox"
                    caption: qsTr("DNS server 1")
                    optional: true
                    visible: page.assignMode !== page.typeDhcp
                    onEnterPressed: page.apply()
                }
                AssignAddressInput {
                    id: dns2
                    width: parent.width
                    inputBoxName: "dns2InputBox"
                    caption: qsTr("DNS server 2")
                    optional: true
                    visible: page.assignMode !== page.typeDhcp
                    onEnterPressed: page.apply()
                }

                CorvaneCheckBox {
                    id: onlyFailedBox
                    objectName: "onlyFailedCheckBox"
                    width: Math.min(implicitWidth, parent.width)
                    text: qsTr("Only apply to failed case(s)")
                    visible: page.numFailed > 0
                    checked: true
                    // Checked again every time it shows.
                    onVisibleChanged: if (visible) checked = true
                }

                CorvaneButton {
                    id: applyButton
                    objectName: "applyButton"
                    width: parent.width
                    height: 36
                    btnText: qsTr("Apply")
                    actived: true
                    enabled: page.applyEnabled
                    onApply: page.apply()
                }
            }

            ZyrInputBox {
                id: searchBox
                objectName: "assignSearchBox"
                x: parent.width - width - 30
                y: 16
                width: 260
                height: 32
                maximumLength: 256
                hintText: qsTr("Filter")
                iconSource: "qrc:/src/qml/res/images/MainPage_filter.png"
                onTextChanged: {
                    if (page.devicesModelCtrl)
                        page.devicesModelCtrl.setFilter(text);
                }
            }

            CorvaneTable {
                id: table
                objectName: "detailTable"
                x: questions.x + questions.width + 30
                y: searchBox.y + searchBox.height + 12
                width: parent.width - x - 30
                height: parent.height - y - 30
                model: page.devicesModel
                ctrl: page.devicesModelCtrl
                rowHeight: 40
                columns: [
                    RoleInfo { roleName: "statusRole"; title: qsTr("Status"); width: 0.15; dlg: Component { TableDlgForStatus {} } },
                    RoleInfo { roleName: "newIpRole"; title: qsTr("New IP"); width: 0.22 },
                    RoleInfo { roleName: "ipRole"; title: qsTr("IP"); width: 0.22 },
                    RoleInfo { roleName: "modelRole"; title: qsTr("Model"); width: 0.2 },
                    RoleInfo { roleName: "macRole"; title: qsTr("MAC"); width: 0.2 }
                ]
            }
        }
    }

    WarningWindow {
        id: confirmFixIpWindow
        objectName: "confirmFixIpWindow"
        hostWindow: page.hostWindow
        warningText: qsTr("All cameras will be applied to the same IP. Are you sure you want to apply?")
        leftBtnText: qsTr("Apply")
        onLeftBtnClicked: page.run()
    }

    WarningWindow {
        id: unknownWindow
        objectName: "unknownWindow"
        hostWindow: page.hostWindow
        showLeftButton: false
    }

    WarningWindow {
        id: leaveWindow
        objectName: "warningWindow"
        property bool answered: false
        hostWindow: page.hostWindow
        warningText: qsTr("Assigning IP to devices. Are you sure you want to leave?")
        leftBtnText: qsTr("Leave")
        onLeftBtnClicked: {
            answered = true;
            if (page.ctrl)
                page.ctrl.abortWorkingCtrl();
            page.resume(true);
        }
        onClosed: {
            if (!answered)
                page.resume(false);
            answered = true;
        }
    }
}
