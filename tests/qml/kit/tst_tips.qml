import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/OstraQuick"

Item {
    id: top
    width: 400
    height: 300

    GlobalProperty { id: _GProperty_ }

    TipArea {
        id: area
        x: 20; y: 20; width: 100; height: 40
        tipText: "Refresh"
    }
    TipArea {
        id: quickArea
        x: 20; y: 100; width: 100; height: 40
        tipText: "Quick"
        quickEmerge: true
    }
    TipArea {
        id: emptyArea
        x: 20; y: 160; width: 100; height: 40
        tipText: ""
        quickEmerge: true
    }
    ZyrImgButton {
        id: latch
        x: 200; y: 20; width: 30; height: 30
        activeEnable: true
    }
    SignalSpy { id: activeSpy; target: latch; signalName: "active" }

    TestCase {
        name: "Tips"
        when: windowShown

        function leaveAll() {
            mouseMove(top, 390, 290);
            wait(0);
        }
        function init() {
            leaveAll();
        }

        function test_emerge_delay_data() {
            return [
                { tag: "normal", area: area, delay: 1500 },
                { tag: "quick", area: quickArea, delay: 600 }
            ];
        }
        // Not shown well before its delay, shown soon after it.
        function test_emerge_delay(row) {
            mouseMove(row.area, 10, 10);
            wait(row.delay - 300);
            verify(!row.area.tipShown, "tip already open before its delay");
            tryCompare(row.area, "tipShown", true, 1500);
            compare(row.area.tip.window.objectName, "tipWindow");
            verify(row.area.tip.window.visible);
        }

        function test_closes_after_six_seconds() {
            mouseMove(quickArea, 10, 10);
            tryCompare(quickArea, "tipShown", true, 1500);
            wait(5000);
            verify(quickArea.tipShown, "closed before its time");
            tryCompare(quickArea, "tipShown", false, 2500);
        }

        function test_leaving_closes_at_once() {
            mouseMove(quickArea, 10, 10);
            tryCompare(quickArea, "tipShown", true, 1500);
            leaveAll();
            verify(!quickArea.tipShown);
        }

        function test_leaving_before_delay_cancels() {
            mouseMove(quickArea, 10, 10);
            wait(300);
            leaveAll();
            wait(700);
            verify(!quickArea.tipShown);
        }

        function test_empty_text_never_shows() {
            mouseMove(emptyArea, 10, 10);
            wait(900);
            verify(!emptyArea.tipShown);
        }

        function test_image_button_latches() {
            activeSpy.clear();
            latch.isActive = false;
            mouseClick(latch);
            verify(latch.isActive);
            compare(activeSpy.count, 1);
            mouseClick(latch);
            verify(!latch.isActive);
            compare(activeSpy.count, 1, "releasing is not an activation");
        }
    }
}
