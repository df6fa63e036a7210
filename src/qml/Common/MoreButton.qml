import QtQuick 2.15
import "../OstraQuick"

// A small "more" toggle under a collapsed list: expanded flips on each click.
ZyrButton {
    id: root

    property bool expanded: false
    property string moreText: qsTr("More")
    property string lessText: qsTr("Less")

    objectName: "moreButton"
    btnTxtInfo.text: expanded ? lessText : moreText
    btnTxtInfo.color: "#25a3b7"
    btnTxtInfo.font.pixelSize: 12
    btnTxtInfo.font.underline: isHovered
    onClicked: expanded = !expanded
}
