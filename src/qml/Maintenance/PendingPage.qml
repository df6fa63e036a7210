import QtQuick 2.15
import "../Common"

// Holds the place of an area page that has not been built yet, so that its tab leads
// somewhere.
Page {
    id: page

    property string caption: ""

    Text {
        objectName: "notAvailableText"
        anchors.centerIn: parent
        width: parent.width - 60
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        text: page.caption !== "" ? page.caption + "\n" + qsTr("This page is not available yet.")
                                  : qsTr("This page is not available yet.")
        color: _GProperty_.fontSet.f017.color
        font.family: _GProperty_.fontSet.f011.family
        font.pixelSize: _GProperty_.fontSet.f011.size
    }
}
