import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml"

Item {
    id: root
    width: 200
    height: 200

    // The controllers as the window sees them, recording what it asks.
    QtObject {
        id: mainCtrlMock
        property var settings: ({})
        property var calls: []
        property string currentLanguage: "English"
        function getSettingsValue(key, fallback) {
            return settings[key] !== undefined ? settings[key] : fallback;
        }
        function note(call) {
            var list = calls.slice();
            list.push(call);
            calls = list;
        }
        function setShowAllBrands(show) {
            note("setShowAllBrands " + show);
        }
        function toggleBrowser() {
            note("toggleBrowser");
        }
        function setTranslation(name) {
            note("setTranslation " + name);
        }
    }
    QtObject {
        id: deviceModelMock
        property int numSelected: 0
    }
    QtObject {
        id: batchCtrlMock
        signal devicesRestartingAfterApplied(bool bRestarting)
    }
    QtObject {
        id: aliasCtrlMock
        property int addCount: 0
        signal addAliasIpFinished
        signal aliasIpAddFailed
        function addAliasIp() {
            addCount += 1;
            return true;
        }
    }

    Component {
        id: windowComponent
        RootWindow {
            mainPageSource: Qt.resolvedUrl("TestMainPage.qml")
            sendCgiSource: Qt.resolvedUrl("NoSuchDialog.qml")
            mainCtrl: mainCtrlMock
            deviceModel: deviceModelMock
            aliasCtrl: aliasCtrlMock
            batchCtrl: batchCtrlMock
            desktopWidth: 1920
            desktopHeight: 1080
        }
    }

    SignalSpy {
        id: closingSpy
        signalName: "closing"
    }

    TestCase {
        name: "RootWindow"
        when: windowShown

        function init() {
            mainCtrlMock.settings = {};
            mainCtrlMock.calls = [];
            mainCtrlMock.currentLanguage = "English";
            deviceModelMock.numSelected = 0;
            aliasCtrlMock.addCount = 0;
        }

        function makeWindow() {
            var w = createTemporaryObject(windowComponent, root);
            verify(w !== null);
            w.show();
            waitForRendering(w.contentItem);
            return w;
        }

        function entry(w, name) {
            return findChild(w.contentItem, "navi_" + name);
        }

        function entryNames(w) {
            var names = [];
            for (var i = 0; i < w.naviView.model.count; ++i)
                names.push(w.naviView.model.get(i).nameRole);
            return names;
        }

        function enabledEntries(w) {
            var names = [];
            var all = entryNames(w);
            for (var i = 0; i < all.length; ++i) {
                if (entry(w, all[i]).enabled)
                    names.push(all[i]);
            }
            return names;
        }

        function test_start_without_alias_step_sizes_and_searches() {
            var w = makeWindow();
            compare(w.objectName, "mainWindow");
            compare(w.title, "Ardmere");
            compare(w.mainPage.searchCount, 1);
            compare(w.currentPageName, "MainPage");
            verify(!w.splashScreen.visible);
            compare([w.width, w.height], [1112, 768]);
            // The drag strip is as high as the shown page's top margin.
            compare(findChild(w.contentItem, "dragStrip").height, 147);
        }

        function test_alias_step_shows_the_splash_until_the_work_ends_data() {
            return [
                { tag: "finished", fail: false },
                { tag: "failed", fail: true }
            ];
        }

        function test_alias_step_shows_the_splash_until_the_work_ends(data) {
            mainCtrlMock.settings = { "useAliasIP": "true" };
            var w = makeWindow();
            var splash = w.splashScreen;
            tryCompare(splash, "visible", true);
            compare(splash.objectName, "splashScreen");
            compare(aliasCtrlMock.addCount, 1);
            compare(w.mainPage.searchCount, 0);
            compare([w.width, w.height], [480, 300]);
            if (data.fail)
                aliasCtrlMock.aliasIpAddFailed();
            aliasCtrlMock.addAliasIpFinished();
            tryCompare(splash, "visible", false);
            compare(w.mainPage.searchCount, 1);
            compare([w.width, w.height], [1112, 768]);
        }

        function test_splash_image_doubles_on_a_big_desktop_data() {
            return [
                { tag: "full HD", desktop: [1920, 1080], size: [480, 300], factor: 1 },
                { tag: "4K", desktop: [3840, 2160], size: [960, 600], factor: 2 },
                { tag: "wide but low", desktop: [3840, 1999], size: [480, 300], factor: 1 }
            ];
        }

        function test_splash_image_doubles_on_a_big_desktop(data) {
            var w = createTemporaryObject(windowComponent, root,
                                          { desktopWidth: data.desktop[0], desktopHeight: data.desktop[1],
                                            startOnCompleted: false });
            var splash = w.splashScreen;
            compare([splash.imageSize.width, splash.imageSize.height], data.size);
            var loading = findChild(splash.contentItem, "splashLoading");
            compare([loading.x, loading.y, loading.width, loading.height],
                    [114 * data.factor, 110 * data.factor, 30 * data.factor, 30 * data.factor]);
            compare(loading.frameCount, 10);
            compare(loading.frameRate, 15);
            verify(String(findChild(splash.contentItem, "splashImage").source).indexOf(data.factor === 2 ? "_2x" : "Splash_Image.png") >= 0);
        }

        function test_entries_in_both_variants_data() {
            return [
                { tag: "cameras", deviceSet: "all",
                  names: ["MainPage", "BatchSetup", "AutoAssign", "Maintenance", "ZAPK", "Export", "Info"] },
                { tag: "recorders", deviceSet: "nvr", names: ["MainPage", "Maintenance", "Export", "Info"] }
            ];
        }

        function test_entries_in_both_variants(data) {
            var w = makeWindow();
            w.mainPage.deviceSet = data.deviceSet;
            compare(entryNames(w), data.names);
            compare(w.recorderMode, data.deviceSet === "nvr");
            for (var i = 0; i < data.names.length; ++i)
                verify(entry(w, data.names[i]) !== null, data.names[i]);
            var tip = w.naviView.model.get(data.names.indexOf("Export")).tipRole;
            compare(tip, "Export device list and debug report");
        }

        function test_entries_follow_the_selection_and_the_resets_data() {
            return [
                { tag: "main page reset", reset: function (w) { w.mainPage.resetNaviView(); } },
                { tag: "batch run restarts", reset: function (w) { batchCtrlMock.devicesRestartingAfterApplied(true); } }
            ];
        }

        function test_entries_follow_the_selection_and_the_resets(data) {
            var w = makeWindow();
            compare(enabledEntries(w), ["MainPage", "Info"]);
            deviceModelMock.numSelected = 2;
            compare(enabledEntries(w).length, 7);
            data.reset(w);
            compare(enabledEntries(w), ["MainPage", "Info"]);
            // A batch run that does not restart leaves the entries alone.
            deviceModelMock.numSelected = 1;
            batchCtrlMock.devicesRestartingAfterApplied(false);
            compare(enabledEntries(w).length, 7);
            deviceModelMock.numSelected = 0;
            compare(enabledEntries(w), ["MainPage", "Info"]);
        }

        function test_clicking_entries_switches_pages() {
            var w = makeWindow();
            mouseClick(entry(w, "BatchSetup"));
            compare(w.currentPageName, "MainPage", "a disabled entry does nothing");
            deviceModelMock.numSelected = 1;
            var pages = [["BatchSetup", "batchSetupPage"], ["AutoAssign", "autoAssignPage"],
                         ["Maintenance", "maintenancePage"], ["ZAPK", "zapkPage"], ["Export", "exportPage"],
                         ["MainPage", "mainPage"]];
            for (var i = 0; i < pages.length; ++i) {
                mouseClick(entry(w, pages[i][0]));
                compare(w.currentPageName, pages[i][0]);
                compare(w.naviView.currentName, pages[i][0]);
                compare(w.pageSwitcher.currentItem.objectName, pages[i][1]);
                verify(w.pageSwitcher.currentItem.visible);
                compare(findChild(w.contentItem, "dragStrip").height, w.pageSwitcher.currentItem.topMargin);
            }
        }

        function test_blocking_main_page_moves_the_navigation_back() {
            var w = makeWindow();
            deviceModelMock.numSelected = 1;
            w.mainPage.blocking = true;
            mouseClick(entry(w, "Export"));
            compare(w.currentPageName, "MainPage");
            compare(w.naviView.currentName, "MainPage");
            w.mainPage.blocking = false;
            w.mainPage.resume(true);
            compare(w.currentPageName, "Export");
            compare(w.naviView.currentName, "Export");
        }

        function test_information_window_opens_and_returns_the_navigation() {
            var w = makeWindow();
            deviceModelMock.numSelected = 1;
            mainCtrlMock.currentLanguage = "Japanese";
            mouseClick(entry(w, "Export"));
            mouseClick(entry(w, "ZAPK"));
            var exportPage = w.pageSwitcher.page("Export");
            verify(exportPage !== null);
            mouseClick(entry(w, "Info"));
            var info = findChild(w, "infoLoader").item;
            verify(info !== null);
            compare(info.objectName, "infoWindow");
            tryCompare(info, "visible", true);
            compare(w.naviView.currentName, "Info");
            // Hidden pages go; the shown one stays.
            tryCompare(w.pageSwitcher, "currentItem", w.pageSwitcher.page("ZAPK"));
            compare(w.pageSwitcher.page("Export"), null);
            var box = findChild(info.contentItem, "languageBox");
            compare(box.currentText, "日本語");
            info.close();
            tryCompare(findChild(w, "infoLoader"), "item", null);
            compare(w.naviView.currentName, "ZAPK");
            compare(w.currentPageName, "ZAPK");
        }

        function test_function_keys_data() {
            return [
                { tag: "Shift+F12 toggles all brands", key: Qt.Key_F12, modifiers: Qt.ShiftModifier,
                  times: 2, calls: ["setShowAllBrands true", "setShowAllBrands false"] },
                { tag: "F10 toggles the browser", key: Qt.Key_F10, modifiers: Qt.NoModifier,
                  times: 1, calls: ["toggleBrowser"] },
                { tag: "Ctrl+F12 without a selection", key: Qt.Key_F12, modifiers: Qt.ControlModifier,
                  times: 1, calls: [] }
            ];
        }

        function test_function_keys(data) {
            var w = makeWindow();
            for (var i = 0; i < data.times; ++i)
                verify(w.handleKey(data.key, data.modifiers));
            compare(mainCtrlMock.calls, data.calls);
            compare(w.bShowAllBrands, false);
            compare(findChild(w, "sendCgiDialog").item, null);
        }

        function test_cgi_dialog_needs_a_selection_and_goes_when_closed() {
            var w = makeWindow();
            var loader = findChild(w, "sendCgiDialog");
            w.sendCgiSource = Qt.resolvedUrl("TestCgiDialog.qml");
            verify(w.handleKey(Qt.Key_F12, Qt.AltModifier));
            compare(loader.item, null);
            deviceModelMock.numSelected = 3;
            var modifiers = [Qt.AltModifier, Qt.ControlModifier];
            for (var i = 0; i < modifiers.length; ++i) {
                verify(w.handleKey(Qt.Key_F12, modifiers[i]));
                var dialog = loader.item;
                verify(dialog !== null);
                compare(dialog.hostWindow, w);
                tryCompare(dialog, "visible", true);
                dialog.close();
                tryCompare(loader, "item", null);
            }
            // Shift+F12 is the brands key, not the dialog.
            verify(w.handleKey(Qt.Key_F12, Qt.ShiftModifier));
            compare(loader.item, null);
        }

        function test_drag_strip_doubles_on_a_big_window() {
            // Not shown: a shown window cannot outgrow the test screen.
            var w = createTemporaryObject(windowComponent, root);
            var strip = findChild(w.contentItem, "dragStrip");
            w.width = 2227;
            w.height = 1533;
            verify(w.bigScreen);
            compare(strip.height, 294);
            w.width = 1112;
            compare(strip.height, 147);
        }

        function test_close_rules_data() {
            return [
                { tag: "nothing blocks", stopping: false, block: false, closes: true },
                { tag: "range search stopping", stopping: true, block: false, closes: false },
                { tag: "page blocks closing", stopping: false, block: true, closes: false }
            ];
        }

        function test_close_rules(data) {
            var w = makeWindow();
            w.mainPage.isStopping = data.stopping;
            w.mainPage.blockOnClose = data.block;
            w.close();
            compare(w.visible, !data.closes);
            if (data.block) {
                verify(w.pageSwitcher.closing);
                w.mainPage.resume(true);
                compare(w.visible, false);
            }
        }
    }
}
