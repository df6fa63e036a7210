import QtQuick 2.15
import "../OstraQuick"

// A slider over the option texts: the position picks the option at round(value / step); the
// end labels are the first and last option and the shown text is the current option.
Question {
    id: root

    readonly property var options: devicePackUISet.opts
    readonly property real step: options.length > 1 ? 100 / (options.length - 1) : 100
    readonly property alias slider: slider
    property int sliderWidth: 240

    outputValue: devicePackUISet.currentOpt
    contentHeight: 48

    function readBack() {
        var i = options.indexOf(devicePackUISet.currentOpt);
        slider.value = i >= 0 ? i * step : 0;
    }

    Connections {
        target: root.devicePackUISet
        function onCurrentOptChanged() { root.readBack(); }
        function onDataReset() { root.readBack(); }
    }
    Component.onCompleted: readBack()

    ZyrSlider {
        id: slider
        objectName: "questionTextSlider"
        width: root.sliderWidth
        height: parent.height
        from: 0
        to: 100
        stepSize: root.step
        minText: root.options.length > 0 ? String(root.options[0]) : ""
        maxText: root.options.length > 0 ? String(root.options[root.options.length - 1]) : ""
        currentText: root.devicePackUISet.currentOpt
        onMoved: if (root.options.length > 0) root.devicePackUISet.currentOpt = String(root.options[Math.round(value / root.step)])
    }
}
