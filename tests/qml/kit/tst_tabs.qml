import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/OstraQuick"

Item {
    id: top
    width: 600
    height: 500

    GlobalProperty { id: _GProperty_ }

    ListModel {
        id: entries
        ListElement { nameRole: "MainPage"; tipRole: "Main"; enableRole: true }
        ListElement { nameRole: "BatchSetup"; tipRole: "Batch camera setup"; enableRole: false }
        ListElement { nameRole: "Maintenance"; tipRole: "Maintenance"; enableRole: true }
    }

    ZyrImgTabView {
        id: tabs
        model: entries
        tabWidth: 80
        tabHeight: 80
        currentName: "MainPage"
    }
    ZyrImgTabView {
        id: textTabs
        x: 200
        orientation: Qt.Horizontal
        model: ListModel {
            ListElement { nameRole: "all"; displayRole: "All devices" }
            ListElement { nameRole: "nvr"; displayRole: "NVR" }
        }
        tabWidth: 120
        tabHeight: 32
        currentName: "all"
        tabDelegate: Component { TxtHighLightTabDelegate {} }
    }

    TestCase {
        name: "Tabs"
        when: windowShown

        function test_choose_and_restore() {
            tabs.currentName = "MainPage";
            mouseClick(tabs.tabItem("Maintenance"));
            compare(tabs.currentName, "Maintenance");
            verify(tabs.tabItem("Maintenance").isCurrent);
            verify(!tabs.tabItem("MainPage").isCurrent);
            tabs.restore();
            compare(tabs.currentName, "MainPage");
            verify(tabs.tabItem("MainPage").isCurrent);
        }

        function test_disabled_entry_ignores_clicks() {
            tabs.currentName = "MainPage";
            mouseClick(tabs.tabItem("BatchSetup"));
            compare(tabs.currentName, "MainPage");
            entries.setProperty(1, "enableRole", true);
            mouseClick(tabs.tabItem("BatchSetup"));
            compare(tabs.currentName, "BatchSetup");
            entries.setProperty(1, "enableRole", false);
        }

        function test_entry_roles() {
            compare(tabs.tabItem("BatchSetup").tipText, "Batch camera setup");
            compare(textTabs.tabItem("nvr").tipText, "NVR", "displayRole stands in for the tip");
            compare(textTabs.tabItem("nvr").label.text, "NVR");
            mouseClick(textTabs.tabItem("nvr"));
            compare(textTabs.currentName, "nvr");
        }
    }
}
