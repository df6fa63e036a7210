import QtQuick 2.15
import QtQuick.Window 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/OstraQuick"

Item {
    id: top
    width: 600
    height: 400

    GlobalProperty { id: _GProperty_ }

    // Stands in for the main window's scale.
    Window {
        id: host
        property real xScale: 2
        property real yScale: 1.5
        width: 1000
        height: 800
        property alias blockArea: hostBlock
        BlockArea { id: hostBlock }
    }

    WarningWindow {
        id: warning
        objectName: "testWarning"
        warningText: "Failed to import"
    }
    SignalSpy { id: leftSpy; target: warning; signalName: "leftBtnClicked" }
    SignalSpy { id: rightSpy; target: warning; signalName: "rightBtnClicked" }
    SignalSpy { id: closingSpy; target: warning; signalName: "closing" }

    CorvaneWindow {
        id: custom
        customClose: true
        bodyWidth: 300
        bodyHeight: 100
    }
    SignalSpy { id: customSpy; target: custom; signalName: "customClosing" }

    ZyrBtnExtendBox {
        id: extend
        x: 20; y: 20; width: 150; height: 32
        btnText: "Authorize all"
        windowName: "authorizeBox"
        caption1: "User name"
        caption2: "Password"
        inputBox1.validator.style: 2
        inputBox2.validator.style: 0
        inputBox2.passwordMask: true
    }
    SignalSpy { id: commitSpy; target: extend; signalName: "commit" }

    TestCase {
        name: "Windows"
        when: windowShown

        function test_warning_defaults() {
            compare(warning.leftBtnText, "Abort");
            compare(warning.rightBtnText, "Cancel");
            verify(findChild(warning.contentItem, "warningIcon").visible);
            warning.confirm = true;
            verify(!findChild(warning.contentItem, "warningIcon").visible);
            warning.confirm = false;
        }

        function test_warning_buttons_data() {
            return [
                { tag: "left", button: "leftButton", left: 1, right: 0 },
                { tag: "right", button: "rightButton", left: 0, right: 1 }
            ];
        }
        function test_warning_buttons(row) {
            leftSpy.clear(); rightSpy.clear(); closingSpy.clear();
            warning.open();
            tryCompare(warning, "visible", true);
            mouseClick(findChild(warning.contentItem, row.button));
            compare(leftSpy.count, row.left);
            compare(rightSpy.count, row.right);
            tryCompare(warning, "visible", false);
            compare(closingSpy.count, 1);
        }

        function test_custom_close_keeps_window() {
            customSpy.clear();
            custom.open();
            tryCompare(custom, "visible", true);
            mouseClick(custom.titleBar.btnClose);
            compare(customSpy.count, 1);
            verify(custom.visible, "custom close must leave the decision to the owner");
            custom.close();
        }

        function test_dialog_follows_host_scale() {
            custom.hostWindow = host;
            compare(custom.width, 600);
            compare(custom.height, Math.ceil((100 + 40) * 1.5));
            custom.hostWindow = null;
        }

        function test_dialog_blocks_host() {
            custom.hostWindow = host;
            custom.blockHost = true;
            custom.open();
            tryCompare(custom, "visible", true);
            verify(hostBlock.active);
            custom.close();
            tryCompare(custom, "visible", false);
            verify(!hostBlock.active);
            custom.blockHost = false;
            custom.hostWindow = null;
        }

        function openBox() {
            extend.close();
            extend.inputBox1.text = "";
            extend.inputBox2.text = "";
            mouseClick(extend);
            tryCompare(extend, "opened", true);
            compare(extend.boxWindow.objectName, "authorizeBox");
        }

        function test_extend_commit_data() {
            return [
                { tag: "both fine", user: "admin", password: "", commits: 1 },
                { tag: "bad user", user: "ad&min", password: "x", commits: 0 },
                { tag: "empty user", user: "", password: "x", commits: 0 }
            ];
        }
        function test_extend_commit(row) {
            openBox();
            commitSpy.clear();
            extend.inputBox1.text = row.user;
            extend.inputBox2.text = row.password;
            compare(extend.validinput, row.commits === 1);
            mouseClick(extend.btnApply);
            extend.inputBox1.handleEnter();
            compare(commitSpy.count, row.commits * 2, "Apply and Enter");
        }

        function test_extend_loading_icon_moves() {
            openBox();
            var body = extend.boxWindow.contentItem;
            extend.status = "WARNING";
            verify(findChild(body, "statusIcon").visible);
            verify(!findChild(body, "applyStatusIcon").visible);
            extend.status = "LOADING";
            verify(!findChild(body, "statusIcon").visible);
            verify(findChild(body, "applyStatusIcon").visible);
            extend.status = "";
        }

        function test_extend_deactivate_closes() {
            openBox();
            verify(extend.isActive);
            mouseClick(extend);
            verify(!extend.isActive);
            tryCompare(extend, "opened", false);
        }
    }
}
