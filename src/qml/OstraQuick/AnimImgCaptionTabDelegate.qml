import QtQuick 2.15

// An image tab with a caption whose image pulses while `animating` (a page at work).
ImgCaptionTabDelegate {
    id: root

    property bool animating: false

    SequentialAnimation {
        running: root.animating
        loops: Animation.Infinite
        onStopped: root.opacity = Qt.binding(function() { return root.enabled ? 1.0 : root.disabledOpacity; })
        NumberAnimation { target: root; property: "opacity"; to: 0.5; duration: 500 }
        NumberAnimation { target: root; property: "opacity"; to: 1.0; duration: 500 }
    }
}
