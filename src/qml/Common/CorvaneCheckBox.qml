import QtQuick 2.15
import "../OstraQuick"

// The program's check box: the base check box in the font set's light text.
ZyrCheckBox {
    id: root

    property string text: ""
    txtCheckInfo.text: text
    txtCheckInfo.color: typeof _GProperty_ !== "undefined" ? _GProperty_.fontSet.f001.color : "#ffffff"
    txtCheckInfo.font.pixelSize: typeof _GProperty_ !== "undefined" ? _GProperty_.fontSet.f001.size : 14
}
