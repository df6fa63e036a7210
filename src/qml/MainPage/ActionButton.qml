import QtQuick 2.15
import "../OstraQuick"

// A button of the main page's action row: an icon (MainPage_<iconName>_<look>.png) and a caption
// on the page's gradient. latched keeps the pressed look while the button's box is open. A caption
// wider than maxTextWidth is cut and shown in full as the tip.
ZyrButton {
    id: root

    property string text: ""
    property string iconName: ""
    property bool latched: false
    property int maxTextWidth: 240

    readonly property string imageBase: "qrc:/src/qml/res/images/MainPage_" + iconName + "_"

    normalSource: iconName === "" ? "" : imageBase + (latched ? "pressed" : "normal") + ".png"
    hoveredSource: iconName === "" ? "" : imageBase + (latched ? "pressed" : "hovered") + ".png"
    pressedSource: iconName === "" ? "" : imageBase + "pressed.png"
    normalColor: latched ? Qt.rgba(1, 1, 1, 0.18) : Qt.rgba(1, 1, 1, 0.08)
    hoverColor: Qt.rgba(1, 1, 1, 0.16)
    pressColor: Qt.rgba(1, 1, 1, 0.24)
    radius: 3
    tipText: btnTxtInfo.truncated ? text : ""

    implicitWidth: Math.min(btnTxtInfo.implicitWidth, maxTextWidth) + (btnImgInfo.visible ? 24 + spacing : 0) + 24

    btnTxtInfo.text: root.text
    btnTxtInfo.width: Math.min(btnTxtInfo.implicitWidth, root.width - 24 - (btnImgInfo.visible ? 24 + root.spacing : 0))
    btnTxtInfo.font.family: _GProperty_.fontSet.fExtendButtonDescript.family
    btnTxtInfo.font.pixelSize: 13
    btnTxtInfo.color: _GProperty_.fontSet.fExtendButtonDescript.color
    btnImgInfo.sourceSize: Qt.size(40, 40)
    btnImgInfo.width: 24
    btnImgInfo.height: 24
}
