import QtQuick 2.15
import "../OstraQuick"

// Per-channel settings: a row of numbered tabs, one instance of listComponent (a QuestionList)
// per channel, channel i for instance i; only the chosen tab's instance shows. Without the same
// model on all devices it shows only a warning and outputs nothing. output(): one tree per
// available instance, titled caption + " " + channel number from 1.
Column {
    id: root

    property string captionText: qsTr("Channel")
    property int numChannel: pageCtrl && pageCtrl.numChannel !== undefined ? pageCtrl.numChannel : 1
    property bool isSameModel: pageCtrl && pageCtrl.isSameModel !== undefined ? pageCtrl.isSameModel : true
    property var pageCtrl: typeof batchSetupPageCtrl !== "undefined" ? batchSetupPageCtrl : null
    property Component listComponent: null
    property int currentChannel: 0
    property var ownerList: null
    property int channel: 0
    property bool available: isSameModel && anyChildAvailable
    readonly property bool isQuestionList: true
    property bool acceptableInput: true
    property bool anyChildAvailable: false
    readonly property alias instances: lists

    signal apply
    // An instance was made for channel; the page runs the device-pack script for it.
    signal instanceLoaded(int channel)

    width: parent ? parent.width : 400
    spacing: 10

    function instance(i) {
        var l = lists.itemAt(i);
        return l ? l.item : null;
    }
    function recompute() {
        var ok = true;
        var any = false;
        for (var i = 0; i < lists.count; ++i) {
            var inst = instance(i);
            if (!inst || !inst.available)
                continue;
            if (!inst.acceptableInput)
                ok = false;
            if (inst.anyChildAvailable)
                any = true;
        }
        acceptableInput = !isSameModel || ok;
        anyChildAvailable = any;
    }
    function output() {
        var out = [];
        if (!isSameModel)
            return { "tag": "list", "list": out };
        for (var i = 0; i < lists.count; ++i) {
            var inst = instance(i);
            if (!inst || !inst.available)
                continue;
            out.push({ "tag": "tree", "title": captionText + " " + (i + 1), "list": inst.output().list, "enable": inst.available });
        }
        return { "tag": "list", "list": out };
    }
    onIsSameModelChanged: recompute()

    Row {
        visible: !root.isSameModel
        spacing: 8
        Image {
            width: 20
            height: 20
            sourceSize: Qt.size(40, 40)
            source: "qrc:/src/qml/res/images/Common_warning_Icon.png"
        }
        Text {
            objectName: "sameModelWarning"
            text: qsTr("Select devices with the same model to set up this section")
            color: "#f7c46c"
            font.pixelSize: 14
        }
    }

    Row {
        visible: root.isSameModel
        spacing: 4
        Repeater {
            model: root.isSameModel ? root.numChannel : 0
            TxtTabDelegate {
                objectName: "channelTab_" + index
                width: 48
                height: 32
                name: String(index)
                caption: String(index + 1)
                readonly property bool chosen: root.currentChannel === index
                label.color: chosen ? "#ffffff" : "#7f8c8d"
                Rectangle { anchors.fill: parent; z: -1; color: parent.chosen ? "#1b8b9d" : "#2a2f3a"; radius: 2 }
                onClicked: root.currentChannel = index
            }
        }
    }

    Repeater {
        id: lists
        model: root.isSameModel ? root.numChannel : 0
        Loader {
            width: root.width
            visible: root.currentChannel === index
            height: visible && item ? item.height : 0
            sourceComponent: root.listComponent
            onLoaded: {
                item.ownerList = root;
                item.channel = index;
                item.width = Qt.binding(function() { return root.width; });
                item.acceptableInputChanged.connect(root.recompute);
                item.availableChanged.connect(root.recompute);
                item.anyChildAvailableChanged.connect(root.recompute);
                root.recompute();
                root.instanceLoaded(index);
            }
        }
    }
}
