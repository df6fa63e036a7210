import QtQuick 2.15

// One captioned question of a settings form. It is shown while `available`; its list counts it
// only then. channel comes from the enclosing list unless set. output() reports it as
// { tag, uid, channel, caption, value, warning } ("empty" as tag for a question without
// content). Enter in its input asks the list to apply (requestApply()).
Item {
    id: root

    property string captionText: ""
    property string uid: ""
    property var ownerList: null
    property int channel: ownerList ? ownerList.channel : 0
    property bool available: true
    property bool acceptableInput: true
    property var optionStringMap: null
    property DevicePackUISet devicePackUISet: DevicePackUISet {
        uid: root.uid
        channel: root.channel
        optionStringMap: root.optionStringMap
    }
    property string outputTag: ""
    property var outputValue: ""
    property string outputCaption: captionText
    // Qt.AlignLeft: caption left of the content; Qt.AlignTop: above it.
    property int captionPos: Qt.AlignLeft
    property int captionWidth: 220
    property int contentHeight: 32
    property int spacing: 10
    readonly property bool isQuestion: true
    readonly property alias captionItem: caption
    default property alias content: holder.data
    readonly property alias contentItem: holder

    signal apply

    width: parent ? parent.width : 400
    implicitHeight: captionPos === Qt.AlignTop ? caption.implicitHeight + spacing / 2 + contentHeight : Math.max(caption.implicitHeight, contentHeight)
    height: available ? implicitHeight : 0
    visible: available

    function output() {
        return {
            "tag": outputTag,
            "uid": uid,
            "channel": channel,
            "caption": outputCaption,
            "value": outputValue,
            "warning": !acceptableInput
        };
    }

    function requestApply() {
        root.apply();
        if (ownerList && ownerList.apply)
            ownerList.apply();
    }

    Text {
        id: caption
        objectName: "questionCaption"
        width: root.captionPos === Qt.AlignTop ? root.width : root.captionWidth
        height: root.captionPos === Qt.AlignTop ? implicitHeight : root.height
        verticalAlignment: Text.AlignVCenter
        visible: text !== ""
        text: root.captionText
        color: typeof _GProperty_ !== "undefined" ? _GProperty_.fontSet.f001.color : "#ffffff"
        font.pixelSize: typeof _GProperty_ !== "undefined" ? _GProperty_.fontSet.f001.size : 14
        font.family: typeof _GProperty_ !== "undefined" ? _GProperty_.defaultFamily : font.family
        wrapMode: Text.Wrap
        elide: Text.ElideRight
        maximumLineCount: 2
    }

    Item {
        id: holder
        x: root.captionPos === Qt.AlignTop || !caption.visible ? 0 : root.captionWidth + root.spacing
        y: root.captionPos === Qt.AlignTop && caption.visible ? caption.height + root.spacing / 2 : 0
        width: root.width - x
        height: root.contentHeight
    }
}
