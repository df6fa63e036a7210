import QtQuick 2.15

// One step of the batch-setup instruction: its number in a ring over its caption.
Column {
    id: root

    property int number: 1
    property string caption: ""

    spacing: 14
    width: 200

    Rectangle {
        anchors.horizontalCenter: parent.horizontalCenter
        width: 96
        height: 96
        radius: 48
        color: "transparent"
        border.width: 3
        border.color: _GProperty_.accentHoverColor
        Text {
            anchors.centerIn: parent
            text: root.number
            color: "#ffffff"
            font.family: _GProperty_.robotoFamily
            font.pixelSize: 40
        }
    }
    Text {
        objectName: "stepCaption"
        width: root.width
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        text: root.caption
        color: _GProperty_.fontSet.f017.color
        font.family: _GProperty_.fontSet.f017.family
        font.pixelSize: _GProperty_.fontSet.f017.size
    }
}
