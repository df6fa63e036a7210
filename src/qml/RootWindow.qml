import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Window 2.15
import "Common"
import "Navi"
import "js/WindowSize.js" as WindowSize

// The main window. Its content is laid out once at the design size (1112 x 768) and scaled to
// whatever size the window has, in each direction on its own; the pop-ups of the kit read xScale
// and yScale to follow it.
Window {
    id: rootWindow

    objectName: "mainWindow"
    title: "Ardmere"
    flags: Qt.Window | Qt.FramelessWindowHint | Qt.WindowMinimizeButtonHint
    color: "#000000"
    width: WindowSize.designWidth
    height: WindowSize.designHeight

    readonly property real xScale: width / WindowSize.designWidth
    readonly property real yScale: height / WindowSize.designHeight
    readonly property bool bigScreen: WindowSize.isBigScreen(width)
    property bool bShowAllBrands: false

    // The controllers, through properties so that a test can hand in its own.
    property var mainCtrl: typeof mainPageCtrl !== "undefined" ? mainPageCtrl : null
    property var deviceModel: typeof deviceListModel !== "undefined" ? deviceListModel : null
    property var aliasCtrl: typeof aliasIpCtrl !== "undefined" ? aliasIpCtrl : null
    property var batchCtrl: typeof batchSetupPageCtrl !== "undefined" ? batchSetupPageCtrl : null

    // The available desktop, which picks the default size.
    property int desktopWidth: Screen.desktopAvailableWidth
    property int desktopHeight: Screen.desktopAvailableHeight

    property url mainPageSource: Qt.resolvedUrl("MainPage/MainPage.qml")
    property url sendCgiSource: Qt.resolvedUrl("SendCgi/SendCgiDialog.qml")
    // Start-up (splash screen or first search) runs when the window is complete.
    property bool startOnCompleted: true

    readonly property alias mainPage: mainPageLoader.item
    readonly property alias pageSwitcher: pageSwitcher
    readonly property alias naviView: naviView
    readonly property alias blockArea: rootBlockArea
    readonly property alias splashScreen: splashScreen
    readonly property string currentPageName: pageSwitcher.shownPage
    // The main page shows recorders only; the navigation and the areas follow.
    readonly property bool recorderMode: mainPage !== null && mainPage.deviceSet !== undefined
                                         && mainPage.deviceSet === "nvr"
    property bool quitting: false

    function resizeTo(size) {
        width = size.width;
        height = size.height;
    }

    function applyDefaultSize() {
        var size = WindowSize.defaultSize(desktopWidth, desktopHeight);
        resizeTo(size);
        x = Math.max(0, Math.round((desktopWidth - size.width) / 2));
        y = Math.max(0, Math.round((desktopHeight - size.height) / 2));
    }

    function startSearch() {
        if (mainPage && typeof mainPage.search === "function")
            mainPage.search();
    }

    function start() {
        if (mainCtrl && mainCtrl.getSettingsValue("useAliasIP", "false") === "true") {
            resizeTo(splashScreen.imageSize);
            // Through the property: the splash waits for the window it belongs to.
            splashScreen.visible = true;
        } else {
            applyDefaultSize();
            startSearch();
        }
    }

    function numSelected() {
        return deviceModel && deviceModel.numSelected !== undefined ? deviceModel.numSelected : 0;
    }

    function openSendCgiDialog() {
        if (sendCgiLoader.item)
            return;
        var component = Qt.createComponent(sendCgiSource);
        if (component.status !== Component.Ready) {
            console.log("Qt.createComponent Error: " + component.errorString());
            return;
        }
        sendCgiLoader.sourceComponent = component;
    }

    function closeSendCgiDialog() {
        sendCgiLoader.sourceComponent = undefined;
    }

    function openInfo() {
        pageSwitcher.destroyHiddenPages();
        infoLoader.active = true;
    }

    function closeInfo() {
        infoLoader.active = false;
        naviView.restore();
    }

    function toggleShowAllBrands() {
        bShowAllBrands = !bShowAllBrands;
        if (mainCtrl)
            mainCtrl.setShowAllBrands(bShowAllBrands);
    }

    // Answers the keys of the window; true when the key was one of them.
    function handleKey(key, modifiers) {
        var ctrl = (modifiers & Qt.ControlModifier) !== 0;
        var alt = (modifiers & Qt.AltModifier) !== 0;
        var shift = (modifiers & Qt.ShiftModifier) !== 0;
        switch (key) {
        case Qt.Key_F12:
            if (ctrl || alt) {
                if (numSelected() > 0)
                    openSendCgiDialog();
            } else if (shift) {
                toggleShowAllBrands();
            }
            return true;
        case Qt.Key_F11:
            if (currentPageName === "MainPage")
                resizeTo(WindowSize.toggled(bigScreen));
            return true;
        case Qt.Key_F10:
            if (mainCtrl)
                mainCtrl.toggleBrowser();
            return true;
        case Qt.Key_Plus:
        case Qt.Key_Equal:
            if (!ctrl)
                return false;
            resizeTo(WindowSize.grown(width, height));
            return true;
        case Qt.Key_Minus:
            if (!ctrl)
                return false;
            resizeTo(WindowSize.shrunk(width, height));
            return true;
        }
        return false;
    }

    onClosing: {
        if (quitting)
            return;
        if (mainPage && mainPage.isStopping === true) {
            close.accepted = false;
            return;
        }
        if (pageSwitcher.checkBlocking(true))
            close.accepted = false;
    }

    Component.onCompleted: {
        if (startOnCompleted)
            start();
    }

    GlobalProperty {
        id: _GProperty_
    }

    FocusScope {
        id: scaleContainer
        objectName: "RootWindowScaleContainer"
        width: WindowSize.designWidth
        height: WindowSize.designHeight
        focus: true
        transform: Scale {
            xScale: rootWindow.xScale
            yScale: rootWindow.yScale
        }

        Keys.onPressed: event.accepted = rootWindow.handleKey(event.key, event.modifiers)

        Rectangle {
            id: pagesBackground
            x: naviView.width
            width: parent.width - x
            height: parent.height
            color: _GProperty_.pageColor
        }

        // Empty parts of the pages' top area move the window; the pages lie above it, so their
        // own controls keep their clicks.
        MouseArea {
            id: dragStrip
            objectName: "dragStrip"
            x: pagesBackground.x
            width: topBar.x - x
            height: {
                var margin = pageSwitcher.currentItem && pageSwitcher.currentItem.topMargin !== undefined
                        ? pageSwitcher.currentItem.topMargin : 100;
                return rootWindow.bigScreen ? margin * 2 : margin;
            }
            property point pressPoint
            property bool systemMove: false
            onPressed: {
                systemMove = rootWindow.startSystemMove();
                pressPoint = Qt.point(mouse.x, mouse.y);
            }
            onPositionChanged: {
                if (systemMove || !pressed)
                    return;
                rootWindow.x += Math.round((mouse.x - pressPoint.x) * rootWindow.xScale);
                rootWindow.y += Math.round((mouse.y - pressPoint.y) * rootWindow.yScale);
            }
        }

        PageSwitcher {
            id: pageSwitcher
            objectName: "rootPageSwitcher"
            x: pagesBackground.x
            width: pagesBackground.width
            height: parent.height
            hostWindow: rootWindow
            currentPage: "MainPage"
            focus: true

            PageInfo {
                name: "MainPage"
                page: mainPageLoader.item
            }
            PageInfo {
                name: "BatchSetup"
                source: Qt.resolvedUrl("BatchSetup/BatchSetup.qml")
            }
            PageInfo {
                name: "AutoAssign"
                source: Qt.resolvedUrl("AutoAssign/AutoAssign.qml")
            }
            PageInfo {
                name: "Maintenance"
                source: Qt.resolvedUrl("Maintenance/Maintenance.qml")
            }
            PageInfo {
                name: "ZAPK"
                source: Qt.resolvedUrl("ZAPK/ZAPK.qml")
            }
            PageInfo {
                name: "Export"
                source: Qt.resolvedUrl("Export/Export.qml")
            }

            Loader {
                id: mainPageLoader
                anchors.fill: parent
                source: rootWindow.mainPageSource
                onLoaded: {
                    if (item.hostWindow !== undefined)
                        item.hostWindow = rootWindow;
                }
            }

            onPagesResolved: {
                if (accept) {
                    rootWindow.quitting = true;
                    rootWindow.close();
                }
            }
            onCurrentPageChanged: {
                if (naviView.currentName !== currentPage)
                    naviView.currentName = currentPage;
            }
        }

        Rectangle {
            id: logoArea
            objectName: "logoArea"
            width: naviView.width
            height: 60
            color: "#0d1014"
            Image {
                anchors.centerIn: parent
                width: 44
                height: 44
                sourceSize: Qt.size(88, 88)
                source: "qrc:/src/qml/res/images/Frame_Logo.png"
            }
        }

        Rectangle {
            y: logoArea.height
            width: naviView.width
            height: parent.height - y
            color: "#1a1d24"
        }

        NaviView {
            id: naviView
            objectName: "naviView"
            y: logoArea.height
            height: parent.height - y
            recorderMode: rootWindow.recorderMode
            functionsEnabled: false
            onEntryChosen: {
                if (name === "Info")
                    rootWindow.openInfo();
                else
                    pageSwitcher.currentPage = name;
            }
        }

        FrameTopBar {
            id: topBar
            x: parent.width - width
            onMinimizeClicked: rootWindow.showMinimized()
            onCloseClicked: rootWindow.close()
        }

        BlockArea {
            id: rootBlockArea
            objectName: "rootBlockArea"
        }
    }

    // The entries that need a selection follow it; the main page and a batch run that restarts
    // devices may switch them off until the selection next changes.
    Connections {
        target: rootWindow.deviceModel
        ignoreUnknownSignals: true
        function onNumSelectedChanged() {
            naviView.functionsEnabled = rootWindow.numSelected() > 0;
        }
    }
    Connections {
        target: rootWindow.mainPage
        ignoreUnknownSignals: true
        function onResetNaviView() {
            naviView.functionsEnabled = false;
        }
    }
    Connections {
        target: rootWindow.batchCtrl
        ignoreUnknownSignals: true
        function onDevicesRestartingAfterApplied(bRestarting) {
            if (bRestarting)
                naviView.functionsEnabled = false;
        }
    }

    SplashScreen {
        id: splashScreen
        hostWindow: rootWindow
        aliasCtrl: rootWindow.aliasCtrl
        desktopWidth: rootWindow.desktopWidth
        desktopHeight: rootWindow.desktopHeight
        onFinished: {
            rootWindow.applyDefaultSize();
            rootWindow.startSearch();
        }
    }

    Loader {
        id: infoLoader
        objectName: "infoLoader"
        active: false
        source: "Info/Info.qml"
        onLoaded: {
            item.hostWindow = rootWindow;
            if (typeof item.open === "function")
                item.open();
            else
                item.show();
        }
    }
    Connections {
        target: infoLoader.item
        ignoreUnknownSignals: true
        function onClosed() {
            Qt.callLater(rootWindow.closeInfo);
        }
    }

    Loader {
        id: sendCgiLoader
        objectName: "sendCgiDialog"
        onLoaded: {
            if (item.hostWindow !== undefined)
                item.hostWindow = rootWindow;
            if (typeof item.show === "function")
                item.show();
            else if (typeof item.open === "function")
                item.open();
        }
    }
    // Closing the dialog unloads it.
    Connections {
        target: sendCgiLoader.item
        ignoreUnknownSignals: true
        function onVisibleChanged() {
            if (!sendCgiLoader.item.visible)
                Qt.callLater(rootWindow.closeSendCgiDialog);
        }
        function onClosed() {
            Qt.callLater(rootWindow.closeSendCgiDialog);
        }
    }
}
