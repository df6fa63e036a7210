import QtQuick 2.15
import QtQuick.Window 2.15
import "../OstraQuick"

// A settings page: a title over a scrolling list of questions on channel 0. output() is the
// list's. The item that takes the focus is scrolled into view unless autoScroll is off.
Item {
    id: root

    property string title: ""
    property bool autoScroll: true
    readonly property alias list: topList
    readonly property bool acceptableInput: topList.acceptableInput
    readonly property bool anyChildAvailable: topList.anyChildAvailable
    property bool available: true
    default property alias content: topList.data

    signal apply

    function output() {
        return topList.output();
    }

    Text {
        id: titleText
        objectName: "questionnaireTitle"
        visible: text !== ""
        width: parent.width
        text: root.title
        color: typeof _GProperty_ !== "undefined" ? _GProperty_.fontSet.f011.color : "#ffffff"
        font.pixelSize: typeof _GProperty_ !== "undefined" ? _GProperty_.fontSet.f011.size : 18
    }

    ZyrScrollArea {
        id: area
        anchors.top: titleText.visible ? titleText.bottom : parent.top
        anchors.topMargin: titleText.visible ? 12 : 0
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        contentHeight: topList.height
        // The questions never scroll sideways; a tip or hint wider than the list must not add a bar.
        contentWidth: topList.width

        QuestionList {
            id: topList
            objectName: "questionnaireList"
            width: area.width - (area.verticalNeeded ? area.barWidth : 0)
            channel: 0
            onApply: root.apply()
        }
    }

    Connections {
        target: root.Window.window
        enabled: root.autoScroll && root.visible
        ignoreUnknownSignals: true
        function onActiveFocusItemChanged() {
            var item = root.Window.window ? root.Window.window.activeFocusItem : null;
            if (!item)
                return;
            for (var p = item; p; p = p.parent) {
                if (p === topList) {
                    var pos = item.mapToItem(topList, 0, 0);
                    area.ensureVisible(pos.y, item.height);
                    return;
                }
            }
        }
    }
}
