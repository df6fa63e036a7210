import QtQuick 2.15
import "../OstraQuick"

// A 0-100 slider question, available only while the option list has options. With a real list
// of options (the first is not "%s") the position picks the option at round(value / step),
// step = 100 / (options - 1); otherwise the number itself is written. Shows value + "%".
Question {
    id: root

    readonly property var options: devicePackUISet.opts
    readonly property bool realOptions: options.length > 0 && String(options[0]) !== "%s"
    readonly property real step: options.length > 1 ? 100 / (options.length - 1) : 100
    property alias value: slider.value
    readonly property alias slider: slider
    property int sliderWidth: 240

    available: options.length > 0
    outputValue: slider.currentText
    contentHeight: 48

    function readBack() {
        var cur = devicePackUISet.currentOpt;
        if (realOptions) {
            var i = options.indexOf(cur);
            slider.value = i >= 0 ? i * step : 0;
        } else {
            var n = Number(cur);
            slider.value = isNaN(n) ? 0 : Math.max(0, Math.min(100, n));
        }
    }
    function write(v) {
        if (realOptions)
            devicePackUISet.currentOpt = String(options[Math.round(v / step)]);
        else
            devicePackUISet.currentOpt = String(Math.round(v));
    }

    Connections {
        target: root.devicePackUISet
        function onCurrentOptChanged() { root.readBack(); }
        function onDataReset() { root.readBack(); }
    }
    Component.onCompleted: readBack()

    ZyrSlider {
        id: slider
        objectName: "questionSlider"
        width: root.sliderWidth
        height: parent.height
        from: 0
        to: 100
        stepSize: root.realOptions ? root.step : 1
        currentText: Math.round(value) + "%"
        onMoved: root.write(value)
    }
}
