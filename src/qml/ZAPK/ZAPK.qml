import QtQuick 2.15
import "../Common"

// Stands in for the page until it is built, so that the navigation reaches it.
TopLevelPage {
    id: page
    objectName: "zapkPage"
    pageName: "ZAPK"

    Text {
        objectName: "pageTitle"
        x: 30
        width: parent.width - 60
        height: page.statusBarHeight
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        text: qsTr("ZAPK")
        font.family: _GProperty_.fontSet.f011.family
        font.pixelSize: 24
        color: _GProperty_.fontSet.f011.color
    }

    Text {
        objectName: "notAvailableText"
        anchors.centerIn: parent
        text: qsTr("This page is not available yet.")
        font.family: _GProperty_.fontSet.f006.family
        font.pixelSize: 18
        color: _GProperty_.fontSet.f006.color
    }
}
