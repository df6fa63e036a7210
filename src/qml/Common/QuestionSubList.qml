import QtQuick 2.15

// A titled list inside a form. It is available while its inner list has an available child;
// output() = { tag: "tree", title, list, enable }.
Column {
    id: root

    property string title: ""
    property var ownerList: null
    property int channel: ownerList ? ownerList.channel : 0
    property bool available: inner.anyChildAvailable
    readonly property bool acceptableInput: inner.acceptableInput
    readonly property bool anyChildAvailable: inner.anyChildAvailable
    readonly property bool isQuestionList: true
    readonly property alias list: inner
    default property alias content: inner.data

    signal apply

    width: parent ? parent.width : 400
    spacing: 8
    visible: available
    height: available ? implicitHeight : 0

    function output() {
        return { "tag": "tree", "title": title, "list": inner.output().list, "enable": available };
    }

    Text {
        objectName: "subListTitle"
        visible: root.title !== ""
        text: root.title
        color: typeof _GProperty_ !== "undefined" ? _GProperty_.fontSet.f002.color : "#ffffff"
        font.pixelSize: typeof _GProperty_ !== "undefined" ? _GProperty_.fontSet.f002.size : 14
        font.bold: true
    }
    QuestionList {
        id: inner
        ownerList: root
        channel: root.channel
        width: root.width
        onApply: {
            root.apply();
            if (root.ownerList && root.ownerList.apply)
                root.ownerList.apply();
        }
    }
}
