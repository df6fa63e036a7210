import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/OstraQuick"

Item {
    id: top
    width: 700
    height: 400

    GlobalProperty { id: _GProperty_ }

    ListModel {
        id: devices
        Component.onCompleted: {
            for (var i = 0; i < 30; ++i)
                append({ statusRole: i === 1 ? 104 : -1, modelRole: "Cam" + i, ipRole: "10.0.0." + i, selectedRole: false });
        }
    }

    // Records what the table asks of the controller and keeps the selection in the model.
    QtObject {
        id: ctrl
        property var calls: []
        function record(name, args) { var c = calls.slice(); c.push([name].concat(args)); calls = c; }
        function sortByRole(role, order) { record("sortByRole", [role, order]); }
        function select(row) { record("select", [row]); for (var i = 0; i < devices.count; ++i) devices.setProperty(i, "selectedRole", i === row); return true; }
        function ctrlSelect(row) { record("ctrlSelect", [row]); devices.setProperty(row, "selectedRole", !devices.get(row).selectedRole); return true; }
        function shiftSelect(row) { record("shiftSelect", [row]); return true; }
        function selectAll() { record("selectAll", []); return true; }
    }

    CorvaneTable {
        id: table
        width: 600
        height: 300
        model: devices
        ctrl: ctrl
        rowHeight: 30
        columns: [
            RoleInfo { roleName: "statusRole"; title: "Status"; width: 0.15; dlg: Component { TableDlgForStatus {} } },
            RoleInfo { roleName: "modelRole"; title: "Model"; width: 0.4 },
            RoleInfo { roleName: "ipRole"; title: "IP"; width: 200 }
        ]
    }
    SignalSpy { id: submitSpy; target: table; signalName: "submit" }

    ListModel { id: growing }
    CorvaneTable {
        id: growingTable
        x: 0; y: 310
        width: 600
        height: 90
        model: growing
        ctrl: ctrl
        rowHeight: 30
        columns: [ RoleInfo { roleName: "ipRole"; title: "IP"; width: 1 } ]
    }

    TestCase {
        name: "Table"
        when: windowShown

        function init() {
            ctrl.calls = [];
            table.resetSortStatus();
        }

        function title(role) { return findChild(table.title, "title_" + role); }
        function arrowShown(role) { return findChild(title(role), "sortArrow").visible; }
        function lastCall() { return ctrl.calls[ctrl.calls.length - 1]; }

        // Clicks on titles in turn, and after each the arrow shown and the order asked for.
        function test_sort_marks_data() {
            return [
                { tag: "first click ascends", clicks: ["modelRole"], order: [Qt.AscendingOrder] },
                { tag: "second click descends", clicks: ["modelRole", "modelRole"], order: [Qt.AscendingOrder, Qt.DescendingOrder] },
                { tag: "third click ascends again", clicks: ["ipRole", "ipRole", "ipRole"], order: [Qt.AscendingOrder, Qt.DescendingOrder, Qt.AscendingOrder] },
                { tag: "new column starts ascending", clicks: ["modelRole", "modelRole", "ipRole"], order: [Qt.AscendingOrder, Qt.DescendingOrder, Qt.AscendingOrder] }
            ];
        }
        function test_sort_marks(row) {
            var roles = ["statusRole", "modelRole", "ipRole"];
            for (var i = 0; i < row.clicks.length; ++i) {
                mouseClick(title(row.clicks[i]));
                compare(JSON.stringify(lastCall()), JSON.stringify(["sortByRole", row.clicks[i], row.order[i]]));
                for (var r = 0; r < roles.length; ++r)
                    compare(arrowShown(roles[r]), roles[r] === row.clicks[i], "arrow of " + roles[r]);
            }
        }

        function test_reset_clears_mark() {
            mouseClick(title("modelRole"));
            verify(arrowShown("modelRole"));
            table.resetSortStatus();
            verify(!arrowShown("modelRole"));
            mouseClick(title("modelRole"));
            compare(lastCall()[2], Qt.AscendingOrder, "after a reset the column starts ascending");
        }

        function test_column_widths() {
            compare(table.columnWidth(0), 90);
            compare(table.columnWidth(1), 240);
            compare(table.columnWidth(2), 200);
        }

        function test_click_modifiers_data() {
            return [
                { tag: "plain", modifiers: Qt.NoModifier, call: "select" },
                { tag: "ctrl", modifiers: Qt.ControlModifier, call: "ctrlSelect" },
                { tag: "shift", modifiers: Qt.ShiftModifier, call: "shiftSelect" }
            ];
        }
        function test_click_modifiers(row) {
            var r = findChild(table.listView, "row_2");
            verify(r !== null);
            mouseClick(r, r.width - 20, 10, Qt.LeftButton, row.modifiers);
            compare(JSON.stringify(lastCall()), JSON.stringify([row.call, 2]));
            ctrl.select(-1);
        }

        function test_keys() {
            var r = findChild(table.listView, "row_3");
            mouseClick(r, r.width - 20, 10);
            ctrl.calls = [];
            keyClick(Qt.Key_Down);
            compare(JSON.stringify(lastCall()), JSON.stringify(["select", 4]));
            keyClick(Qt.Key_Up);
            keyClick(Qt.Key_Up);
            compare(JSON.stringify(lastCall()), JSON.stringify(["select", 2]));
            keyClick(Qt.Key_A, Qt.ControlModifier);
            compare(JSON.stringify(lastCall()), JSON.stringify(["selectAll"]));
            submitSpy.clear();
            keyClick(Qt.Key_Return);
            compare(submitSpy.count, 1);
            compare(submitSpy.signalArguments[0][0], 2);
            ctrl.select(-1);
        }

        function test_status_cell_data() {
            return [
                { tag: "code with icon", value: 104, icon: "LOGIN_SUCCESS" },
                { tag: "no status", value: -1, icon: "" },
                { tag: "map value", value: { "firmware": 403 }, icon: "" }
            ];
        }
        function test_status_cell(row) {
            var c = Qt.createComponent("qrc:/src/qml/Common/TableDlgForStatus.qml");
            var cell = c.createObject(top, { value: row.value, width: 30, height: 30 });
            compare(findChild(cell, "statusIcon").icon, row.icon);
            cell.destroy();
        }

        function test_scrolls_to_top_before_rows_change_data() {
            return [
                { tag: "insert", change: function() { devices.insert(0, { statusRole: -1, modelRole: "New", ipRole: "10.0.1.1", selectedRole: false }); } },
                { tag: "remove", change: function() { devices.remove(0); } },
                { tag: "move", change: function() { devices.move(0, 5, 1); } }
            ];
        }
        function test_scrolls_to_top_before_rows_change(row) {
            table.listView.positionViewAtEnd();
            verify(table.listView.contentY > 0);
            row.change();
            compare(table.listView.contentY, table.listView.originY);
        }

        // Rows that arrive in an empty table are shown (the scroll back to the top happens before
        // the insertion and must not lose them).
        function test_rows_arrive_in_empty_table() {
            growing.clear();
            growing.append({ ipRole: "127.0.0.5", selectedRole: false });
            var r = null;
            tryVerify(function() { r = findChild(growingTable.listView, "row_0"); return r !== null; }, 1000);
            growing.append({ ipRole: "127.0.0.6", selectedRole: false });
            tryVerify(function() { return findChild(growingTable.listView, "row_1") !== null; }, 1000);
            ctrl.calls = [];
            mouseDoubleClickSequence(findChild(growingTable.listView, "row_1"), 20, 10);
            compare(ctrl.calls[0][0], "select");
        }

        function test_rows_named_by_index() {
            table.listView.positionViewAtBeginning();
            var r = findChild(table.listView, "row_0");
            verify(r !== null);
            compare(r.rowIndex, 0);
        }
    }
}
