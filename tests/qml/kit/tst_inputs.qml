import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/OstraQuick"

Item {
    id: top
    width: 600
    height: 400

    GlobalProperty { id: _GProperty_ }

    ComboBox {
        id: combo
        x: 10; y: 10; width: 160
        optList: ["English", "Français", "Deutsch"]
        currentText: "English"
    }
    SignalSpy { id: activatedSpy; target: combo; signalName: "activated" }

    ZyrSelectionList { id: multi; x: 300; y: 10; width: 150; height: 120; model: ["a", "b", "c", "d"]; singleSelectMode: false; maxSelectAmount: 2 }
    ZyrSelectionList { id: single; x: 300; y: 150; width: 150; height: 120; model: ["a", "b", "c"] }

    ZyrCheckBox { id: boxOnly; x: 10; y: 200; clickOnBoxOnly: true; txtCheckInfo.text: "Recorders only" }

    TestCase {
        name: "Inputs"
        when: windowShown

        function test_combo_choose() {
            activatedSpy.clear();
            mouseClick(combo);
            verify(combo.opened);
            compare(combo.listWindow.objectName, "comboBoxList");
            var row = findChild(combo.listWindow.contentItem, "item_2");
            verify(row !== null);
            mouseClick(row);
            compare(combo.currentText, "Deutsch");
            compare(combo.currentIndex, 2);
            verify(!combo.opened);
            compare(activatedSpy.count, 1);
            compare(activatedSpy.signalArguments[0][0], 2);
        }

        function test_combo_foreign_text() {
            combo.currentText = "Klingon";
            compare(combo.currentIndex, -1);
            compare(findChild(combo, "comboText").text, "Klingon");
        }

        function test_selection_data() {
            return [
                { tag: "multi limit", list: multi, clicks: [0, 1, 2], result: [0, 1] },
                { tag: "multi keeps last", list: multi, clicks: [1, 1], result: [1] },
                { tag: "multi toggle", list: multi, clicks: [3, 1, 3], result: [1] },
                { tag: "single replaces", list: single, clicks: [0, 2], result: [2] },
                { tag: "single no empty", list: single, clicks: [1, 1], result: [1] }
            ];
        }
        function test_selection(row) {
            row.list.selectedIndexes = [];
            for (var i = 0; i < row.clicks.length; ++i)
                row.list.selectIndex(row.clicks[i]);
            compare(JSON.stringify(row.list.selectedIndexes), JSON.stringify(row.result));
        }

        function test_click_on_box_only() {
            boxOnly.checked = false;
            var label = boxOnly.txtCheckInfo;
            mouseClick(label, label.width / 2, label.height / 2);
            verify(!boxOnly.checked, "text click toggled a box-only check box");
            mouseClick(findChild(boxOnly, "checkBoxBox"));
            verify(boxOnly.checked);
        }
    }
}
