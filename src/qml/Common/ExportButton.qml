import QtQuick 2.15
import "../OstraQuick"

// The export button: a click emits apply and plays a short animation (an arrow dropping into
// the tray); animationStopped follows its end.
ZyrStateStyleRect {
    id: root

    property string tipText: qsTr("Export")
    readonly property bool animating: drop.running

    signal apply
    signal animationStopped

    implicitWidth: 40
    implicitHeight: 40
    radius: 2
    normalColor: "#242833"
    hoverColor: "#2f3541"
    pressColor: "#12707f"

    function play() {
        drop.restart();
    }

    onClicked: {
        root.apply();
        root.play();
    }

    Item {
        id: glyph
        anchors.centerIn: parent
        width: 20
        height: 20
        clip: true
        Rectangle { id: stem; x: 9; y: arrow.y - 10; width: 2; height: 10; color: "#ffffff" }
        Canvas {
            id: arrow
            x: 4
            y: 10
            width: 12
            height: 6
            onPaint: {
                var ctx = getContext("2d");
                ctx.reset();
                ctx.fillStyle = "#ffffff";
                ctx.beginPath();
                ctx.moveTo(0, 0);
                ctx.lineTo(width, 0);
                ctx.lineTo(width / 2, height);
                ctx.closePath();
                ctx.fill();
            }
        }
        Rectangle { x: 2; y: 18; width: 16; height: 2; color: "#bbd0d6" }
    }

    SequentialAnimation {
        id: drop
        NumberAnimation { target: arrow; property: "y"; from: 10; to: 20; duration: 250 }
        NumberAnimation { target: arrow; property: "y"; from: -6; to: 10; duration: 250 }
        onStopped: root.animationStopped()
    }

    CorvaneTip {
        anchorItem: root
        tipText: root.tipText
        hovered: root.isHovered
    }
}
