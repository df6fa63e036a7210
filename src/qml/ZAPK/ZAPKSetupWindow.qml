import QtQuick 2.15
import "../Common"
import "../OstraQuick"

// The set-up window of the current module on the selected devices: the module switched on or
// off everywhere, with the result per device behind the detail button. Trend Micro IoT Security
// is switched on only once its licence agreement was accepted; the acceptance holds for the
// window's lifetime. Closing asks first while a step runs or after one failed; the owner hides
// the window on closeRequested.
CorvaneWindow {
    id: root

    property var ctrl: null
    // "general", "trend" or "stereo": the module's kind, set by the page before it opens.
    property string mode: "general"
    property bool sending: false
    // A switch asked for and not answered yet.
    property bool toggling: false
    // The last switch's result on the detail button: "", "success" or "failure".
    property string result: ""
    property bool agreementAccepted: false

    readonly property bool onoff: ctrl && ctrl.onoff === true
    readonly property bool working: ctrl && ctrl.working === true
    readonly property int pageStatus: ctrl ? ctrl.pageStatus : -1
    readonly property int errorCount: ctrl && ctrl.errorCount !== undefined ? ctrl.errorCount : 0
    property string currentTab: "General"
    readonly property var tabs: mode === "trend"
                                ? [{ name: "General", text: qsTr("General settings") }, { name: "Update", text: qsTr("Update signature") }, { name: "Export", text: qsTr("Export") }]
                                : mode === "stereo"
                                  ? [{ name: "General", text: qsTr("General settings") }, { name: "Batch", text: qsTr("Batch setup") }]
                                  : [{ name: "General", text: qsTr("General settings") }]
    // A failure shown on the tab in view.
    readonly property bool failureShown: result === "failure" || (currentTab === "Update" && updatePage.failed)
                                         || (currentTab === "Export" && exportPage.failed)
                                         || (currentTab === "Batch" && batchPage.failed)
    readonly property alias updatePage: updatePage
    readonly property alias exportPage: exportPage
    readonly property alias batchPage: batchPage
    readonly property alias tabQuestion: tabQuestion
    readonly property alias closeQuestion: closeQuestion
    readonly property alias agreementWindow: agreementWindow
    readonly property alias resultBox: resultBox

    signal closeRequested

    objectName: mode === "stereo" ? "stereoTrackerWindow" : "setupWindow"
    bodyWidth: 600
    bodyHeight: 320
    customClose: true
    blockHost: true

    // Back to the first tab with nothing shown of an earlier run.
    function reset() {
        currentTab = "General";
        clearTab();
    }

    // What every tab change forgets: the run's statuses, the result tables, the buttons' states
    // and the mode choice.
    function clearTab() {
        sending = false;
        toggling = false;
        result = "";
        resultBox.close();
        updatePage.reset();
        exportPage.reset();
        batchPage.reset();
    }

    function busyText() {
        return currentTab === "Export" ? qsTr("Exporting device settings.\nAre you sure you want to leave?")
                                       : qsTr("Applying settings to devices. Are you sure you want to leave?");
    }

    function requestTab(name) {
        if (name === currentTab)
            return;
        if (sending || updatePage.sending || batchPage.sending || working) {
            tabQuestion.target = name;
            tabQuestion.abortFirst = true;
            tabQuestion.warningText = busyText();
            tabQuestion.leftBtnText = qsTr("Leave");
            tabQuestion.open();
        } else if (failureShown) {
            tabQuestion.target = name;
            tabQuestion.abortFirst = false;
            tabQuestion.warningText = qsTr("Some problems occurred while applying device settings.\nAre you sure you want to discard device settings?");
            tabQuestion.leftBtnText = qsTr("Discard");
            tabQuestion.open();
        } else {
            changeTab(name);
        }
    }

    function changeTab(name) {
        currentTab = name;
        if (ctrl) {
            ctrl.clearPage();
            ctrl.clearAllStatus();
        }
        clearTab();
    }

    function toggleClicked() {
        if (sending)
            return;
        var on = !onoff;
        if (mode === "trend" && on && !agreementAccepted) {
            agreementWindow.readOnly = false;
            agreementWindow.open();
            return;
        }
        turn(on);
    }

    function turn(on) {
        if (!ctrl)
            return;
        result = "";
        sending = true;
        toggling = true;
        ctrl.turnOnOff(on);
    }

    function acceptAgreement() {
        agreementAccepted = true;
        turn(true);
    }

    function askClose() {
        if (working || sending || updatePage.sending || batchPage.sending) {
            closeQuestion.action = "leave";
            closeQuestion.warningText = busyText();
            closeQuestion.leftBtnText = qsTr("Leave");
            closeQuestion.open();
        } else if ((pageStatus === 4 && errorCount > 0) || failureShown) {
            closeQuestion.action = "discard";
            closeQuestion.warningText = qsTr("Some problems occurred while applying device settings.\nAre you sure you want to discard device settings?");
            closeQuestion.leftBtnText = qsTr("Discard");
            closeQuestion.open();
        } else {
            closeRequested();
        }
    }

    onCustomClosing: askClose()
    onClosed: resultBox.close()

    Connections {
        target: root.ctrl
        ignoreUnknownSignals: true
        function onCompleted() {
            if (root.toggling) {
                root.toggling = false;
                root.result = root.errorCount === 0 ? "success" : "failure";
                root.ctrl.clearPage();
            }
            root.sending = false;
        }
    }

    Item {
        anchors.fill: parent

        Text {
            objectName: "packageTitleText"
            x: 30
            y: 16
            width: parent.width - 60
            text: root.title
            color: "#ffffff"
            font.family: _GProperty_.fontSet.f011.family
            font.pixelSize: 18
            elide: Text.ElideRight
        }

        Row {
            objectName: root.mode === "trend" ? "trendMicroView" : "generalTabView"
            x: 30
            y: 52
            spacing: 4
            Repeater {
                model: root.tabs
                delegate: Rectangle {
                    readonly property bool tabEnabled: modelData.name === "General" || root.onoff
                    objectName: "naviViewZAPKButton_" + modelData.name
                    width: 160
                    height: 34
                    radius: 2
                    color: root.currentTab === modelData.name ? "#1b8b9d" : (tabMouse.containsMouse ? "#3a404d" : "#2f3541")
                    opacity: tabEnabled ? 1 : 0.4
                    Text {
                        anchors.centerIn: parent
                        text: modelData.text
                        color: "#ffffff"
                        font.pixelSize: 14
                    }
                    MouseArea {
                        id: tabMouse
                        anchors.fill: parent
                        hoverEnabled: true
                        enabled: parent.tabEnabled
                        onClicked: root.requestTab(modelData.name)
                    }
                }
            }
        }

        Item {
            id: trendMicroPage
            objectName: "trendMicroPage"
            x: 30
            y: 100
            width: parent.width - 60
            height: parent.height - y - 30
            visible: root.mode === "trend" && root.currentTab !== "General"

            ZAPKTrendUpdatePage {
                id: updatePage
                anchors.fill: parent
                visible: root.currentTab === "Update"
                ctrl: root.ctrl
                setupWindow: root
            }
            ZAPKTrendExportPage {
                id: exportPage
                anchors.fill: parent
                visible: root.currentTab === "Export"
                ctrl: root.ctrl
                setupWindow: root
            }
        }

        Rectangle {
            id: generalPage
            objectName: "generalPage"
            x: 30
            y: 100
            width: parent.width - 60
            height: parent.height - y - 30
            radius: 2
            color: "#242833"
            visible: root.currentTab === "General"

            Text {
                objectName: "enablePackageText"
                x: 20
                y: 24
                text: qsTr("Enable Package")
                color: "#ffffff"
                font.pixelSize: 16
            }
            ZAPKToggle {
                objectName: "onoffToggleBtn"
                anchors.right: detailRow.left
                anchors.rightMargin: 20
                y: 24
                checked: root.onoff
                enabled: !root.sending
                onClicked: root.toggleClicked()
            }
            Row {
                id: detailRow
                anchors.right: parent.right
                anchors.rightMargin: 16
                y: 18
                height: 34
                spacing: 8
                LoadingBusy {
                    objectName: "generalBusy"
                    anchors.verticalCenter: parent.verticalCenter
                    width: 20
                    height: 20
                    visible: root.sending
                }
                Image {
                    objectName: "successStartIcon"
                    anchors.verticalCenter: parent.verticalCenter
                    width: 20
                    height: 20
                    sourceSize: Qt.size(48, 48)
                    source: "qrc:/src/qml/res/images/Item_success_Icon.png"
                    visible: !root.sending && root.result === "success"
                }
                Image {
                    objectName: "generalFailureIcon"
                    anchors.verticalCenter: parent.verticalCenter
                    width: 20
                    height: 20
                    sourceSize: Qt.size(40, 40)
                    source: "qrc:/src/qml/res/images/Common_warning_Icon.png"
                    visible: !root.sending && root.result === "failure"
                }
                ZyrButton {
                    id: detailButton
                    objectName: "btnGeneralDetail"
                    width: 34
                    height: 34
                    normalColor: resultBox.opened ? "#1b8b9d" : "#2f3541"
                    hoverColor: "#3a404d"
                    radius: 2
                    normalSource: "qrc:/src/qml/res/images/Common_extend_arrow_Icon.png"
                    btnImgInfo.rotation: resultBox.opened ? 180 : 0
                    tipText: qsTr("Device list")
                    onClicked: resultBox.toggle()
                }
            }

            Text {
                objectName: "agreementLink"
                visible: root.mode === "trend"
                x: 20
                y: 70
                text: "<a href=\"eula\">" + qsTr("Trend Micro End User License Agreement") + "</a>"
                textFormat: Text.RichText
                linkColor: "#25a3b7"
                font.pixelSize: 14
                onLinkActivated: {
                    agreementWindow.readOnly = true;
                    agreementWindow.open();
                }
            }
        }

        ZAPKStereoBatchPage {
            id: batchPage
            objectName: "stereoBatchPage"
            x: 30
            y: 100
            width: parent.width - 60
            height: parent.height - y - 30
            visible: root.mode === "stereo" && root.currentTab === "Batch"
            ctrl: root.ctrl
            setupWindow: root
            module: root.title
        }

        ZAPKResultBox {
            id: resultBox
            anchorItem: detailButton
            hostWindow: root
            statusKey: "zapkOnOff"
            failureText: qsTr("Failed to change package status")
        }
    }

    ZAPKAgreementWindow {
        id: agreementWindow
        hostWindow: root.hostWindow
        onAccepted: root.acceptAgreement()
    }

    WarningWindow {
        id: tabQuestion
        objectName: "setupTabQuestion"
        property string target: ""
        property bool abortFirst: false
        hostWindow: root.hostWindow
        onLeftBtnClicked: {
            if (abortFirst && root.ctrl) {
                root.ctrl.abortWorkingCtrl();
                updatePage.aborted = true;
            }
            root.changeTab(target);
        }
    }

    WarningWindow {
        id: closeQuestion
        objectName: "setupCloseWindow"
        property string action: ""
        hostWindow: root.hostWindow
        onLeftBtnClicked: {
            if (action === "leave" && root.ctrl)
                root.ctrl.abortWorkingCtrl();
            root.sending = false;
            // A window under a modal question refuses to close: the question goes first.
            close();
            root.closeRequested();
        }
    }
}
