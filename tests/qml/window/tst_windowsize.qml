import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml"

Item {
    id: root

    Component {
        id: windowComponent
        RootWindow {
            mainPageSource: Qt.resolvedUrl("TestMainPage.qml")
            mainCtrl: null
            deviceModel: null
            aliasCtrl: null
            batchCtrl: null
            startOnCompleted: false
        }
    }

    TestCase {
        name: "WindowSize"

        function test_default_size_data() {
            return [
                { tag: "small desktop", desktop: [1024, 700], size: [800, 600] },
                { tag: "too narrow only", desktop: [1111, 1000], size: [800, 600] },
                { tag: "too low only", desktop: [1920, 767], size: [800, 600] },
                { tag: "exactly the design size", desktop: [1112, 768], size: [1112, 768] },
                { tag: "full HD", desktop: [1920, 1080], size: [1112, 768] },
                { tag: "4K", desktop: [3840, 2160], size: [2227, 1533] },
                { tag: "just big enough", desktop: [3840, 2000], size: [2227, 1533] },
                { tag: "wide but not high enough", desktop: [5120, 1999], size: [1112, 768] },
                { tag: "high but not wide enough", desktop: [3839, 2400], size: [1112, 768] }
            ];
        }

        // The rule as the window applies it: the size and the scales that follow from it.
        function test_default_size(data) {
            var w = createTemporaryObject(windowComponent, root,
                                          { desktopWidth: data.desktop[0], desktopHeight: data.desktop[1] });
            w.applyDefaultSize();
            compare(w.width, data.size[0]);
            compare(w.height, data.size[1]);
            fuzzyCompare(w.xScale, data.size[0] / 1112, 1e-9);
            fuzzyCompare(w.yScale, data.size[1] / 768, 1e-9);
            compare(w.bigScreen, data.size[0] > 1112);
        }

        function test_size_keys_data() {
            return [
                { tag: "Ctrl+- stops at the floor", from: [800, 600], key: Qt.Key_Minus,
                  modifiers: Qt.ControlModifier, steps: [[666, 462], [666, 462]] },
                { tag: "Ctrl+- from the design size", from: [1112, 768], key: Qt.Key_Minus,
                  modifiers: Qt.ControlModifier, steps: [[889, 615], [666, 462], [666, 462]] },
                { tag: "Ctrl+- floors each direction alone", from: [1000, 500], key: Qt.Key_Minus,
                  modifiers: Qt.ControlModifier, steps: [[777, 462], [666, 462]] },
                { tag: "Ctrl++ grows", from: [800, 600], key: Qt.Key_Plus,
                  modifiers: Qt.ControlModifier, steps: [[1023, 753], [1246, 906]] },
                { tag: "Ctrl+= grows as well", from: [1112, 768], key: Qt.Key_Equal,
                  modifiers: Qt.ControlModifier, steps: [[1335, 921]] },
                { tag: "minus without Ctrl is typing", from: [800, 600], key: Qt.Key_Minus,
                  modifiers: Qt.NoModifier, steps: [[800, 600]] },
                { tag: "F11 on the main page goes big", from: [1112, 768], key: Qt.Key_F11,
                  modifiers: Qt.NoModifier, steps: [[2227, 1533], [1112, 768]] },
                { tag: "F11 from a small window", from: [800, 600], key: Qt.Key_F11,
                  modifiers: Qt.NoModifier, steps: [[2227, 1533]] }
            ];
        }

        function test_size_keys(data) {
            var w = createTemporaryObject(windowComponent, root);
            w.width = data.from[0];
            w.height = data.from[1];
            for (var i = 0; i < data.steps.length; ++i) {
                w.handleKey(data.key, data.modifiers);
                compare([w.width, w.height], data.steps[i], "step " + i);
            }
        }

        function test_F11_away_from_the_main_page_does_nothing() {
            var w = createTemporaryObject(windowComponent, root);
            w.naviView.functionsEnabled = true;
            w.pageSwitcher.currentPage = "Export";
            compare(w.currentPageName, "Export");
            verify(w.handleKey(Qt.Key_F11, Qt.NoModifier));
            compare([w.width, w.height], [1112, 768]);
        }
    }
}
