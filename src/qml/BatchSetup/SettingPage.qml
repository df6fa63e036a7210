import QtQuick 2.15
import "../Common"
import "SectionTree.js" as Tree

// The template's settings: the settings list on the left, the chosen settings page on the
// right, the apply bar below. The settings pages are made afresh with this page and read their
// values from the controller's option lists. apply() asks the top page to run the batch; abort()
// to go back to the instruction.
Page {
    id: page

    objectName: "SettingPage"
    pageName: "Setting"

    property var pageCtrl: typeof batchSetupPageCtrl !== "undefined" ? batchSetupPageCtrl : null
    property var systemController: typeof systemCtrl !== "undefined" ? systemCtrl : null
    // The settings pages in creation order.
    property var settingPages: []
    property bool exported: false
    // The leave question was asked by the frame (or a tab), which waits for the answer.
    property bool frameAsked: false
    readonly property bool inputAcceptable: {
        for (var i = 0; i < settingPages.length; ++i) {
            if (settingPages[i] && !settingPages[i].acceptableInput)
                return false;
        }
        return true;
    }
    readonly property var pageFiles: ["HostNameAndTime", "DIDO", "UserAccount", "HTTPS", "NetworkTypeAndPort",
                                      "StreamingProtocols", "QoS", "SNMP", "ImageSetting", "Video", "Audio",
                                      "MotionDetection", "CustomizedSettings"]
    readonly property alias settingList: settingList
    readonly property alias settingSwitcher: switcher
    readonly property alias sectionWindow: sectionWindow
    readonly property alias devicePackEntry: entry

    signal apply
    signal abort

    function enterPage() {
        exported = false;
        if (settingEntries.count > 0)
            settingList.choose(0);
    }

    function isBlocking(close) {
        return pageCtrl ? !!pageCtrl.isOptionListDirty() : false;
    }
    function resolveBlocking() {
        frameAsked = true;
        askAbort();
    }
    function askAbort() {
        leaveWindow.answered = false;
        leaveWindow.open();
    }
    function abortPressed() {
        if (isBlocking(false)) {
            frameAsked = false;
            askAbort();
        } else {
            page.abort();
        }
    }

    function pageByName(name) {
        for (var i = 0; i < settingPages.length; ++i) {
            if (settingPages[i] && settingPages[i].pageName === name)
                return settingPages[i];
        }
        return null;
    }
    function entriesArray() {
        var out = [];
        for (var i = 0; i < settingEntries.count; ++i) {
            var e = settingEntries.get(i);
            out.push({ "text": e.text, "cls": e.cls, "name": e.name });
        }
        return out;
    }
    function buildTree() {
        return Tree.build(entriesArray(), settingPages);
    }

    function confirmApplyAll() {
        if (inputAcceptable)
            applyAllWindow.open();
    }
    function applyAll() {
        var tree = buildTree();
        Tree.selectAll(tree, true);
        applyItems(Tree.output(tree));
    }
    function applyItems(items) {
        if (pageCtrl) {
            pageCtrl.setUidList(items);
            pageCtrl.resetOptionListDirtyBit();
        }
        page.apply();
    }
    function exportTo(url) {
        if (pageCtrl && pageCtrl.exportCurrentOptionsToUrl(url)) {
            pageCtrl.resetOptionListDirtyBit();
            exported = true;
        } else {
            messageWindow.warningText = qsTr("Unknown failure");
            messageWindow.open();
        }
    }
    function openExportDialog() {
        exportLoader.active = true;
        var dialog = exportLoader.item;
        if (!dialog)
            return;
        if (systemController && systemController.desktopFileUrl)
            dialog.folder = systemController.desktopFileUrl();
        dialog.open();
    }

    function makePages() {
        var made = [];
        for (var i = 0; i < pageFiles.length; ++i) {
            var file = Qt.resolvedUrl("Settings/" + pageFiles[i] + ".qml");
            var component = Qt.createComponent(file);
            if (component.status !== Component.Ready) {
                console.log("Qt.createComponent Error: " + component.errorString());
                continue;
            }
            var item = component.createObject(switcher, { "visible": false, "devicePackEntry": entry });
            if (item === null) {
                console.log("Cannot create " + file);
                continue;
            }
            item.anchors.fill = switcher;
            item.apply.connect(page.confirmApplyAll);
            made.push(item);
        }
        settingPages = made;
        var customize = pageCtrl && pageCtrl.customizeSettings ? pageCtrl.customizeSettings() : [];
        if (!customize || customize.length === 0)
            settingEntries.remove(settingEntries.count - 1);
    }

    Component.onCompleted: makePages()

    DevicePackEntry {
        id: entry
        pageCtrl: page.pageCtrl
    }

    // The template's channel count; a change reaches the model script like any other.
    DevicePackUISet {
        id: channelNum
        uid: "uid_channel_num"
        channel: 0
        pageCtrl: page.pageCtrl
    }
    Connections {
        target: channelNum
        function onInteractionRequested(channel) { entry.run(channel); }
    }

    ListModel {
        id: settingEntries
        ListElement { text: qsTr("Host name and time"); cls: qsTr("System"); name: "HostNameAndTime" }
        ListElement { text: qsTr("User account"); cls: qsTr("Security"); name: "UserAccount" }
        ListElement { text: qsTr("HTTPS"); cls: qsTr("Security"); name: "HTTPS" }
        ListElement { text: qsTr("Network type & port"); cls: qsTr("Network"); name: "NetworkTypeAndPort" }
        ListElement { text: qsTr("Streaming protocols"); cls: qsTr("Network"); name: "StreamingProtocols" }
        ListElement { text: qsTr("QoS"); cls: qsTr("Network"); name: "QoS" }
        ListElement { text: qsTr("SNMP"); cls: qsTr("Network"); name: "SNMP" }
        ListElement { text: qsTr("Image"); cls: qsTr("Media"); name: "ImageSetting" }
        ListElement { text: qsTr("Video"); cls: qsTr("Media"); name: "Video" }
        ListElement { text: qsTr("Audio"); cls: qsTr("Media"); name: "Audio" }
        ListElement { text: qsTr("DI, DO"); cls: qsTr("Application"); name: "DIDO" }
        ListElement { text: qsTr("Motion detection"); cls: qsTr("Application"); name: "MotionDetection" }
        ListElement { text: qsTr("Customized settings"); cls: qsTr("Application"); name: "CustomizedSettings" }
    }

    Rectangle {
        id: listPanel
        width: 250
        anchors.top: parent.top
        anchors.bottom: applyBar.top
        color: _GProperty_.dialogTitleColor

        SettingList {
            id: settingList
            anchors.fill: parent
            anchors.topMargin: 8
            model: settingEntries
            onChosen: switcher.currentPage = name
        }
    }

    PageSwitcher {
        id: switcher
        objectName: "SettingPagePageSwitcher"
        anchors.left: listPanel.right
        anchors.leftMargin: 30
        anchors.right: parent.right
        anchors.rightMargin: 20
        anchors.top: parent.top
        anchors.topMargin: 20
        anchors.bottom: applyBar.top
        anchors.bottomMargin: 10
        hostWindow: page.hostWindow
    }

    ApplyBar {
        id: applyBar
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        inputAcceptable: page.inputAcceptable
        exported: page.exported
        showOpenFolder: page.exported
        onAbortClicked: page.abortPressed()
        onApplyAllClicked: page.confirmApplyAll()
        onApplySectionClicked: sectionWindow.openTree(page.buildTree())
        onExportClicked: page.openExportDialog()
        onOpenFolderClicked: {
            if (page.pageCtrl)
                Qt.openUrlExternally(page.pageCtrl.lastExportOptionPath());
        }
    }

    SectionWindow {
        id: sectionWindow
        hostWindow: page.hostWindow
        onApplyRequested: {
            for (var i = 0; i < items.length; ++i)
                console.debug(items[i].uid);
            page.applyItems(items);
        }
    }

    WarningWindow {
        id: applyAllWindow
        objectName: "SettingPageApplyAllWindow"
        hostWindow: page.hostWindow
        confirm: true
        warningText: qsTr("Template setup will be applied to selected cameras. Are you sure you want to apply?")
        leftBtnText: qsTr("Apply all")
        onLeftBtnClicked: page.applyAll()
    }

    WarningWindow {
        id: leaveWindow
        objectName: "SettingPageLeaveWindow"
        property bool answered: false
        hostWindow: page.hostWindow
        warningText: qsTr("Current template will be deleted. Are you sure you want to abort?")
        leftBtnText: qsTr("Abort")
        onLeftBtnClicked: {
            answered = true;
            var asked = page.frameAsked;
            page.frameAsked = false;
            if (page.pageCtrl)
                page.pageCtrl.resetOptionListDirtyBit();
            page.abort();
            if (asked)
                page.resume(true);
        }
        onClosed: {
            if (!answered && page.frameAsked) {
                page.frameAsked = false;
                page.resume(false);
            }
            answered = true;
        }
    }

    WarningWindow {
        id: messageWindow
        objectName: "SettingPageMessageWindow"
        hostWindow: page.hostWindow
        showLeftButton: false
    }

    Loader {
        id: exportLoader
        active: false
        source: "ExportFileDialog.qml"
    }
    Connections {
        target: exportLoader.item
        ignoreUnknownSignals: true
        function onAccepted() { page.exportTo(exportLoader.item.fileUrl); }
    }
}
