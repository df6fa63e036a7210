import QtQuick 2.15
import QtQuick.Window 2.15
import "../Common"
import "../OstraQuick"
import "../js/IpRange.js" as IpRange

// The box under the range-search button: one address with wildcards ("192.168.0.*") or, behind
// "Add ending range", a first and a last address. "Search" works out the range and its search
// time; a range above the limit is refused, a long one is asked about first. rangeChosen carries
// what the page then searches.
Window {
    id: root

    objectName: "rangeBox"

    // The main window (for its position and scale) and the item the box hangs under.
    property var hostWindow: null
    property var anchorItem: null
    property bool twoBoxes: false
    // What the question is about while it is open.
    property var pendingPlan: null
    readonly property alias fromBox: fromBox
    readonly property alias toBox: toBox
    readonly property alias noticeWindow: notice
    readonly property bool canSearch: IpRange.searchEnabled(fromBox.fields, toBox.fields, twoBoxes)
    readonly property real xScale: hostWindow && hostWindow.xScale ? hostWindow.xScale : 1
    readonly property real yScale: hostWindow && hostWindow.yScale ? hostWindow.yScale : 1

    signal rangeChosen(string start, string end, int requiredTime)

    flags: Qt.Tool | Qt.FramelessWindowHint
    color: _GProperty_.dialogColor
    width: Math.round(body.width * xScale)
    height: Math.round(body.height * yScale)
    title: qsTr("Enter IP range")

    function place() {
        if (!hostWindow || !anchorItem)
            return;
        var p = anchorItem.mapToItem(null, 0, anchorItem.height + 4);
        // Under the button, but never past the main window's right edge.
        x = Math.min(hostWindow.x + Math.round(p.x), hostWindow.x + hostWindow.width - width);
        y = hostWindow.y + Math.round(p.y);
    }

    // The body can grow after it is shown (the second address, the hint): stay inside the window.
    onWidthChanged: if (visible) place()

    function open() {
        place();
        show();
        requestActivate();
        fromBox.focusField(0);
    }

    // Clicking elsewhere closes the box, as a menu would; activation moves between windows in
    // steps, so only a lasting loss counts, and not while its own notice is asking.
    onActiveChanged: if (!active && visible) deactivateTimer.restart()
    Timer {
        id: deactivateTimer
        interval: 150
        onTriggered: {
            if (root.active || !root.visible || notice.visible)
                return;
            if (root.anchorItem && root.anchorItem.isHovered)
                return;
            root.close();
        }
    }

    function showSecond() {
        fromBox.setFields(IpRange.withoutWildcards(fromBox.fields));
        twoBoxes = true;
        toBox.focusField(0);
    }

    function hideSecond() {
        twoBoxes = false;
        toBox.setFields(["0", "0", "0", "0"]);
        fromBox.focusField(0);
    }

    function commit() {
        if (!canSearch)
            return;
        var plan = IpRange.planSearch(fromBox.fields, toBox.fields, twoBoxes);
        if (plan.refused) {
            pendingPlan = null;
            notice.warningText = IpRange.refusalText();
            notice.showLeftButton = false;
            notice.rightBtnText = qsTr("Close");
            notice.open();
            return;
        }
        if (plan.ask) {
            pendingPlan = plan;
            notice.warningText = IpRange.questionText(plan);
            notice.showLeftButton = true;
            notice.leftBtnText = qsTr("Search");
            notice.rightBtnText = qsTr("Cancel");
            notice.open();
            return;
        }
        choose(plan);
    }

    function choose(plan) {
        pendingPlan = null;
        close();
        rangeChosen(plan.start, plan.end, plan.requiredTime);
    }

    Item {
        id: body
        width: 420
        height: 200
        transform: Scale {
            xScale: root.xScale
            yScale: root.yScale
        }
        focus: true
        Keys.onEscapePressed: root.close()

        Rectangle {
            anchors.fill: parent
            color: "transparent"
            border.color: _GProperty_.lineColor
        }

        Text {
            id: fromLabel
            x: 20
            width: 56
            anchors.verticalCenter: fromBox.verticalCenter
            text: root.twoBoxes ? qsTr("From") : qsTr("IP")
            elide: Text.ElideRight
            font.family: _GProperty_.defaultFamily
            font.pixelSize: 14
            color: "#ffffff"
        }
        AddressBox {
            id: fromBox
            namePrefix: "rangeFromField"
            x: 80
            y: 20
            width: 204
            wildcardAllowed: !root.twoBoxes
            focus: true
            onAccepted: root.commit()
        }

        Text {
            x: 20
            width: 56
            visible: root.twoBoxes
            anchors.verticalCenter: toBox.verticalCenter
            text: qsTr("To")
            elide: Text.ElideRight
            font.family: _GProperty_.defaultFamily
            font.pixelSize: 14
            color: "#ffffff"
        }
        AddressBox {
            id: toBox
            namePrefix: "rangeToField"
            visible: root.twoBoxes
            x: 80
            y: 64
            width: 204
            fields: ["0", "0", "0", "0"]
            onAccepted: root.commit()
        }
        ZyrImgButton {
            objectName: "rangeRemoveEndButton"
            visible: root.twoBoxes
            anchors.left: toBox.right
            anchors.leftMargin: 8
            anchors.verticalCenter: toBox.verticalCenter
            width: 24
            height: 24
            tipText: qsTr("Remove ending range")
            hostWindow: root.hostWindow
            normalSource: "qrc:/src/qml/res/images/MainPage_delete_normal.png"
            hoveredSource: "qrc:/src/qml/res/images/MainPage_delete_hovered.png"
            pressedSource: "qrc:/src/qml/res/images/MainPage_delete_pressed.png"
            onClicked: root.hideSecond()
        }

        CorvaneButton {
            id: addEndButton
            objectName: "rangeAddEndButton"
            visible: !root.twoBoxes
            x: fromBox.x
            y: fromBox.y + fromBox.height + 12
            width: Math.min(implicitWidth, parent.width - x - 20)
            height: 28
            btnText: qsTr("Add ending range")
            fontPixelSize: 12
            hostWindow: root.hostWindow
            onApply: root.showSecond()
        }

        Text {
            id: hint
            objectName: "rangeHintText"
            x: 20
            width: parent.width - 40
            y: (root.twoBoxes ? toBox.y + toBox.height : addEndButton.y + addEndButton.height) + 14
            wrapMode: Text.WordWrap
            maximumLineCount: 3
            elide: Text.ElideRight
            text: root.twoBoxes
                  ? qsTr("Enter Specific IP range. For example: ") + "192.168.0.0 ~ 192.168.1.255"
                  : qsTr("Use asterisk to specify the range. For example ") + "192.168.0.*"
            font.family: _GProperty_.fontSet.f016.family
            font.pixelSize: _GProperty_.fontSet.f016.size
            color: _GProperty_.fontSet.f016.color
        }

        CorvaneButton {
            id: searchButton
            objectName: "rangeSearchApplyButton"
            anchors.right: parent.right
            anchors.rightMargin: 20
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 20
            width: 110
            btnText: qsTr("Search")
            actived: true
            enabled: root.canSearch
            hostWindow: root.hostWindow
            onApply: root.commit()
        }
    }

    WarningWindow {
        id: notice
        objectName: "rangeNoticeWindow"
        hostWindow: root.hostWindow
        onLeftBtnClicked: {
            var plan = root.pendingPlan;
            notice.close();
            if (plan)
                root.choose(plan);
        }
        onRightBtnClicked: {
            root.pendingPlan = null;
            notice.close();
        }
    }
}
