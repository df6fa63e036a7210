import QtQuick 2.15

// A scroll area with its own bars and step buttons. Children go into the content; set
// contentWidth/contentHeight (they follow the content's childrenRect by default).
// scrollBoundary keeps the content from being dragged past its ends.
Item {
    id: root

    default property alias content: flick.flickableData
    property alias flickable: flick
    property alias contentWidth: flick.contentWidth
    property alias contentHeight: flick.contentHeight
    property alias contentX: flick.contentX
    property alias contentY: flick.contentY
    property bool scrollBoundary: true
    property int barWidth: 10
    property int stepSize: 40
    readonly property alias verticalBar: vBar
    readonly property alias horizontalBar: hBar
    readonly property bool verticalNeeded: flick.contentHeight > flick.height + 0.5
    readonly property bool horizontalNeeded: flick.contentWidth > flick.width + 0.5
    property color barColor: "#5c6370"
    property color barHoverColor: "#7f8c8d"
    property color trackColor: "#20242c"

    function clampY(y) {
        return Math.max(0, Math.min(y, Math.max(0, flick.contentHeight - flick.height)));
    }
    function clampX(x) {
        return Math.max(0, Math.min(x, Math.max(0, flick.contentWidth - flick.width)));
    }
    function scrollToYPosition(y) {
        flick.contentY = clampY(y);
    }
    function scrollToXPosition(x) {
        flick.contentX = clampX(x);
    }
    function scrollToEnd() {
        flick.contentY = clampY(flick.contentHeight);
    }
    function scrollToTop() {
        flick.contentY = 0;
    }
    // Brings the rectangle (content coordinates) into view.
    function ensureVisible(y, h) {
        if (y < flick.contentY)
            scrollToYPosition(y);
        else if (y + h > flick.contentY + flick.height)
            scrollToYPosition(y + h - flick.height);
    }

    Flickable {
        id: flick
        anchors.fill: parent
        anchors.rightMargin: root.verticalNeeded ? root.barWidth : 0
        anchors.bottomMargin: root.horizontalNeeded ? root.barWidth : 0
        clip: true
        contentWidth: contentItem.childrenRect.width
        contentHeight: contentItem.childrenRect.height
        boundsBehavior: root.scrollBoundary ? Flickable.StopAtBounds : Flickable.DragAndOvershootBounds
        interactive: root.verticalNeeded || root.horizontalNeeded

        MouseArea {
            // Wheel steps, also over children that do not take the wheel.
            z: -1
            width: Math.max(flick.width, flick.contentWidth)
            height: Math.max(flick.height, flick.contentHeight)
            acceptedButtons: Qt.NoButton
            onWheel: {
                if (root.verticalNeeded && wheel.angleDelta.y !== 0)
                    root.scrollToYPosition(flick.contentY - wheel.angleDelta.y / 120 * root.stepSize);
                else if (root.horizontalNeeded && (wheel.angleDelta.x !== 0 || wheel.angleDelta.y !== 0))
                    root.scrollToXPosition(flick.contentX - (wheel.angleDelta.x || wheel.angleDelta.y) / 120 * root.stepSize);
            }
        }
    }

    ZyrScrollBar {
        id: vBar
        objectName: "verticalBar"
        orientation: Qt.Vertical
        visible: root.verticalNeeded
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.bottomMargin: root.horizontalNeeded ? root.barWidth : 0
        width: root.barWidth
        visibleSize: flick.height
        totalSize: flick.contentHeight
        position: flick.contentY
        stepSize: root.stepSize
        barColor: root.barColor
        barHoverColor: root.barHoverColor
        trackColor: root.trackColor
        onMoveRequested: root.scrollToYPosition(to)
    }

    ZyrScrollBar {
        id: hBar
        objectName: "horizontalBar"
        orientation: Qt.Horizontal
        visible: root.horizontalNeeded
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.rightMargin: root.verticalNeeded ? root.barWidth : 0
        height: root.barWidth
        visibleSize: flick.width
        totalSize: flick.contentWidth
        position: flick.contentX
        stepSize: root.stepSize
        barColor: root.barColor
        barHoverColor: root.barHoverColor
        trackColor: root.trackColor
        onMoveRequested: root.scrollToXPosition(to)
    }
}
