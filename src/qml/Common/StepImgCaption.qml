import QtQuick 2.15

// A step of an instruction: an optional prefix image (the step number), the step's image and
// its caption under it.
Column {
    id: root

    property string mainImgSource: ""
    property string caption: ""
    property string prefixImgSource: ""
    property int imageWidth: 160
    property int imageHeight: 120

    spacing: 8

    Row {
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: 8
        Image {
            anchors.verticalCenter: parent.verticalCenter
            source: root.prefixImgSource
            visible: source != ""
        }
        Image {
            objectName: "stepImage"
            width: root.imageWidth
            height: root.imageHeight
            fillMode: Image.PreserveAspectFit
            source: root.mainImgSource
        }
    }
    Text {
        objectName: "stepCaption"
        width: Math.max(root.imageWidth, implicitWidth > 240 ? 240 : implicitWidth)
        anchors.horizontalCenter: parent.horizontalCenter
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        text: root.caption
        color: "#333333"
        font.pixelSize: 13
    }
}
