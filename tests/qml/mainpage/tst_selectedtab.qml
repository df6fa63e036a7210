import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/MainPage"

// The device-set tabs: a click on another tab reports it once, a click on the current one does
// nothing, and a caption too long for a tab widens every tab.
Item {
    width: 600
    height: 100

    GlobalProperty {
        id: _GProperty_
    }

    SelectedTab {
        id: tabs
        objectPrefix: "tab_"
    }

    SignalSpy {
        id: chosen
        target: tabs
        signalName: "tabChosen"
    }

    TestCase {
        name: "SelectedTab"
        when: windowShown

        function init() {
            chosen.clear();
            tabs.tabs = [{ name: "all", text: "All devices" }, { name: "camera", text: "Camera" },
                         { name: "nvr", text: "NVR" }];
            tabs.currentName = "all";
        }

        function test_click_chooses_once() {
            mouseClick(findChild(tabs, "tab_nvr"));
            compare(chosen.count, 1);
            compare(chosen.signalArguments[0][0], "nvr");
            compare(tabs.currentName, "nvr");
            mouseClick(findChild(tabs, "tab_nvr"));
            compare(chosen.count, 1);
        }

        function test_width_data() {
            return [
                { tag: "short captions", caption: "Camera", width: 120 },
                { tag: "a long caption", caption: "Caméras et enregistreurs", width: 160 }
            ];
        }
        function test_width(data) {
            tabs.tabs = [{ name: "all", text: "All" }, { name: "camera", text: data.caption }];
            tryCompare(findChild(tabs, "tab_all"), "width", data.width);
            compare(findChild(tabs, "tab_camera").width, data.width);
        }
    }
}
