import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/OstraQuick"

Item {
    id: top
    width: 800
    height: 600

    GlobalProperty { id: _GProperty_ }

    ItemDetailButton {
        id: button
        width: 350
        height: 60
        count: 3
        prepareText: "Restart now"
        parsingText: "Parsing"
        loadingText: "Restarting"
        waitingText: "Waiting"
        warningText: "Failed to restart"
        successText: "Restarted successfully"
    }
    SignalSpy { id: itemSpy; target: button; signalName: "itemBtnClicked" }
    SignalSpy { id: retrySpy; target: button; signalName: "refreshBtnClicked" }
    SignalSpy { id: detailSpy; target: button; signalName: "detailBtnClicked" }

    ListModel {
        id: failedModel
    }
    FailedTable {
        id: failed
        y: 100
        width: 350
        model: failedModel
        statusKey: "reboot"
    }

    ZyrActionDelayTimer { id: delay }

    TestCase {
        name: "Progress"
        when: windowShown

        // Page status (E_Page_Status) and error count against what the button shows.
        function test_states_data() {
            return [
                { tag: "Nothing", status: -1, errors: 0, state: "prepare", text: "Restart now", table: false },
                { tag: "Loading", status: 1, errors: 0, state: "parsing", text: "Parsing", table: false },
                { tag: "Waiting", status: 2, errors: 0, state: "waiting", text: "Waiting", table: false },
                { tag: "Working", status: 3, errors: 0, state: "working", text: "Restarting", table: false },
                { tag: "Finished clean", status: 4, errors: 0, state: "success", text: "Restarted successfully", table: false },
                { tag: "Finished with errors", status: 4, errors: 2, state: "warning", text: "Failed to restart", table: true },
                { tag: "UnknownError", status: 0, errors: 0, state: "warning", text: "Failed to restart", table: true }
            ];
        }
        function test_states(row) {
            button.status = row.status;
            button.errorCount = row.errors;
            compare(button.displayState, row.state);
            compare(button.shownText, row.text);
            compare(button.failedTableAvailable, row.table);
            compare(findChild(button, "itemButton").visible, row.state === "prepare");
            compare(findChild(button, "itemWarningBar").visible, row.state === "warning");
            compare(findChild(button, "itemPercent").visible, row.state === "working");
        }

        function test_working_percent() {
            button.status = 3;
            button.progressPercent = 42.4;
            compare(findChild(button, "itemPercent").text, "42%");
        }

        function test_success_icon_at_full() {
            button.status = 4;
            button.errorCount = 0;
            button.progressPercent = 100;
            verify(findChild(button, "itemSuccessIcon").visible);
            verify(!findChild(button, "itemPercentBar").visible);
            button.progressPercent = 80;
            verify(!findChild(button, "itemSuccessIcon").visible);
            verify(findChild(button, "itemPercentBar").visible);
        }

        function test_clicks() {
            itemSpy.clear(); retrySpy.clear(); detailSpy.clear();
            button.status = -1;
            mouseClick(findChild(button, "itemButton"));
            compare(itemSpy.count, 1);
            button.status = 4;
            button.errorCount = 1;
            mouseClick(findChild(button, "retryButton"));
            compare(retrySpy.count, 1);
            mouseClick(findChild(button, "detailButton"));
            compare(detailSpy.count, 1);
        }

        function test_start_needs_devices() {
            button.status = -1;
            button.count = 0;
            verify(!findChild(button, "itemButton").enabled);
            button.count = 3;
        }

        function test_failed_lines_collapse_data() {
            return [
                { tag: "five lines open", lines: 5, collapsible: false, shown: 5 },
                { tag: "six lines collapse", lines: 6, collapsible: true, shown: 5 }
            ];
        }
        function test_failed_lines_collapse(row) {
            failedModel.clear();
            for (var i = 0; i < row.lines; ++i)
                failedModel.append({ ipRole: "10.0.0." + i, statusRole: 803 });
            compare(failed.collapsible, row.collapsible);
            compare(failed.shownLines, row.shown);
            if (row.collapsible) {
                failed.expanded = true;
                compare(failed.shownLines, row.lines);
                failed.expanded = false;
            }
        }

        function test_failed_text() {
            failedModel.clear();
            failedModel.append({ ipRole: "10.0.0.9", statusRole: 806 });
            var line = findChild(failed, "failed_0");
            verify(line !== null);
            compare(line.children[1].text, "Session expired. Try again later");
        }

        function test_delay_timer_replaces_pending() {
            var ran = [];
            delay.setTimeout(function() { ran.push("first"); }, 50);
            delay.setTimeout(function() { ran.push("second"); }, 50);
            tryVerify(function() { return ran.length > 0; }, 1000);
            wait(100);
            compare(JSON.stringify(ran), JSON.stringify(["second"]));
        }
    }
}
