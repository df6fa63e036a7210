import QtQuick 2.15
import "../../Common"

// The per-channel part of a settings page: for a one-channel template one instance of
// listComponent on channel 0, output as a plain list; for more channels a "Channel" tab switcher
// with one instance per channel, output as one tree per channel. Without the same model on every
// device only the switcher's warning shows and nothing is output. instanceLoaded(channel) follows
// the making of each instance, so that the page can run the model script for that channel.
Column {
    id: root

    property Component listComponent: null
    property var pageCtrl: typeof batchSetupPageCtrl !== "undefined" ? batchSetupPageCtrl : null
    property int numChannel: pageCtrl && pageCtrl.numChannel !== undefined ? pageCtrl.numChannel : 1
    property bool isSameModel: pageCtrl && pageCtrl.isSameModel !== undefined ? pageCtrl.isSameModel : true
    property var ownerList: null
    property int channel: 0
    readonly property bool isQuestionList: true
    readonly property bool multiChannel: numChannel > 1
    property bool available: true
    property bool acceptableInput: true
    property bool anyChildAvailable: false
    readonly property alias tabSwitcher: tabs

    signal apply
    signal instanceLoaded(int channel)

    width: parent ? parent.width : 400
    spacing: 12

    function instance(i) {
        if (multiChannel)
            return tabs.instance(i);
        return i === 0 ? single.item : null;
    }

    function recompute() {
        var ok = true;
        var any = false;
        if (!isSameModel) {
            ok = true;
        } else if (multiChannel) {
            ok = tabs.acceptableInput;
            any = tabs.anyChildAvailable;
        } else if (single.item && single.item.available) {
            ok = single.item.acceptableInput;
            any = single.item.anyChildAvailable;
        }
        if (acceptableInput !== ok)
            acceptableInput = ok;
        if (anyChildAvailable !== any)
            anyChildAvailable = any;
    }

    function output() {
        if (!isSameModel)
            return { "tag": "list", "list": [] };
        if (multiChannel)
            return tabs.output();
        if (single.item && single.item.available)
            return single.item.output();
        return { "tag": "list", "list": [] };
    }

    onIsSameModelChanged: recompute()
    // Enter in an instance's input box reaches the page through the enclosing lists.
    onApply: if (ownerList && ownerList.apply) ownerList.apply()
    onMultiChannelChanged: recompute()

    QuestionTabSwitcher {
        id: tabs
        objectName: "channelTabSwitcher"
        visible: root.multiChannel || !root.isSameModel
        width: root.width
        pageCtrl: root.pageCtrl
        numChannel: root.multiChannel ? root.numChannel : 0
        isSameModel: root.isSameModel
        listComponent: root.listComponent
        ownerList: root
        onAcceptableInputChanged: root.recompute()
        onAnyChildAvailableChanged: root.recompute()
        onInstanceLoaded: {
            var inst = tabs.instance(channel);
            if (inst)
                inst.apply.connect(root.apply);
            root.instanceLoaded(channel);
        }
        onApply: root.apply()
    }

    Loader {
        id: single
        width: root.width
        active: !root.multiChannel && root.isSameModel
        visible: active
        height: active && item ? item.height : 0
        sourceComponent: root.listComponent
        onLoaded: {
            item.ownerList = root;
            item.channel = 0;
            item.width = Qt.binding(function() { return root.width; });
            item.acceptableInputChanged.connect(root.recompute);
            item.availableChanged.connect(root.recompute);
            item.anyChildAvailableChanged.connect(root.recompute);
            item.apply.connect(root.apply);
            root.recompute();
            root.instanceLoaded(0);
        }
    }
}
