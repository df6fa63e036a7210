import QtQuick 2.15

// A text that steps through textList on a timer (the "Searching" dots and the like). Its width
// is that of the longest entry (longgest), so the layout around it does not jump.
Text {
    id: root

    property var textList: []
    property int index: 0
    property alias timer: stepTimer
    property alias interval: stepTimer.interval
    property bool running: visible
    readonly property string longgest: {
        var best = "";
        for (var i = 0; i < textList.length; ++i) {
            if (String(textList[i]).length > best.length)
                best = String(textList[i]);
        }
        return best;
    }

    text: textList.length > 0 ? String(textList[index % textList.length]) : ""
    width: Math.max(implicitWidth, measure.implicitWidth)
    onTextListChanged: index = 0

    Text {
        id: measure
        visible: false
        text: root.longgest
        font: root.font
    }

    Timer {
        id: stepTimer
        interval: 300
        repeat: true
        running: root.running && root.textList.length > 1
        onTriggered: root.index = (root.index + 1) % root.textList.length
    }
}
