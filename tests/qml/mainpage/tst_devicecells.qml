import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/MainPage/DeviceCells.js" as DeviceCells

// The cells of the main device table that do not show their value as it is.
TestCase {
    name: "DeviceCells"

    function test_port_data() {
        return [
            { tag: "zero is no port", value: 0, text: "" },
            { tag: "a port", value: 8080, text: "8080" },
            { tag: "unset", value: undefined, text: "" }
        ];
    }
    function test_port(data) {
        compare(DeviceCells.portText(data.value), data.text);
    }

    function test_sd_card_data() {
        return [
            { tag: "ready", value: "ready", text: "Ready" },
            { tag: "detached", value: "detached", text: "Detached" },
            { tag: "read only", value: "readonly", text: "Read only" },
            { tag: "no report", value: "", text: "" },
            { tag: "unset", value: undefined, text: "" },
            { tag: "anything else", value: "broken", text: "Error" },
            { tag: "case matters", value: "Ready", text: "Error" }
        ];
    }
    function test_sd_card(data) {
        compare(DeviceCells.sdCardText(data.value), data.text);
    }
}
