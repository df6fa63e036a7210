import QtQuick 2.15
import "../OstraQuick"

// The line above the device table: how many devices were found (or how many are selected), or
// "Searching" with cycling dots while a discovery runs, and the refresh icon that repeats the
// last search. The icon turns while searching.
Item {
    id: root

    property int count: 0
    property int numSelected: 0
    property bool searching: false
    property bool stopping: false
    // The discovery is still running (it may outlast the searching state, which ends with the
    // first device found).
    property bool turning: false
    property var hostWindow: null

    signal refresh

    height: 47

    readonly property string mode: stopping ? "stopping" : (searching ? "searching"
                                 : (numSelected > 0 ? "selected" : "found"))

    Row {
        id: countRow
        objectName: "statusCountRow"
        visible: root.mode === "found" || root.mode === "selected"
        anchors.verticalCenter: parent.verticalCenter
        spacing: 10
        Text {
            objectName: "statusCountText"
            anchors.baseline: caption.baseline
            text: root.mode === "selected" ? root.numSelected : root.count
            font.family: _GProperty_.defaultFamily
            font.pixelSize: 40
            color: "#ffffff"
        }
        Text {
            id: caption
            objectName: "statusCaptionText"
            anchors.verticalCenter: parent.verticalCenter
            anchors.verticalCenterOffset: 6
            text: root.mode === "selected" ? qsTr("selected") : qsTr("device(s) found")
            font.family: _GProperty_.defaultFamily
            font.pixelSize: 22
            color: "#ffffff"
        }
    }

    Row {
        id: busyRow
        visible: !countRow.visible
        anchors.verticalCenter: parent.verticalCenter
        Text {
            objectName: "statusBusyText"
            text: root.mode === "stopping" ? qsTr("Stopping") : qsTr("Searching")
            font.family: _GProperty_.defaultFamily
            font.pixelSize: 30
            color: "#ffffff"
        }
        Text {
            id: dots
            objectName: "statusDots"
            property int phase: 0
            // Wide enough for "..." so the icon beside it does not move with the dots.
            width: 30
            text: root.mode === "searching" ? ".".repeat(phase + 1) : ""
            font.family: _GProperty_.defaultFamily
            font.pixelSize: 30
            color: "#ffffff"
        }
    }

    Timer {
        objectName: "statusDotsTimer"
        interval: 300
        repeat: true
        running: root.mode === "searching"
        onRunningChanged: dots.phase = 0
        onTriggered: dots.phase = (dots.phase + 1) % 3
    }

    ZyrImgButton {
        id: refreshButton
        objectName: "refreshButton"
        anchors.left: countRow.visible ? countRow.right : busyRow.right
        anchors.leftMargin: 14
        anchors.verticalCenter: parent.verticalCenter
        width: 28
        height: 28
        hostWindow: root.hostWindow
        tipText: qsTr("Refresh")
        enabled: !root.searching && !root.stopping
        // Drawn at full strength while it turns: the turning says that it cannot be used now.
        disabledOpacity: root.turning ? 1.0 : 0.4
        normalSource: "qrc:/src/qml/res/images/MainPage_refresh_normal.png"
        hoveredSource: "qrc:/src/qml/res/images/MainPage_refresh_hovered.png"
        pressedSource: "qrc:/src/qml/res/images/MainPage_refresh_pressed.png"
        onClicked: root.refresh()

        RotationAnimator on rotation {
            from: 0
            to: 360
            duration: 1000
            loops: Animation.Infinite
            running: root.turning
            onRunningChanged: if (!running) refreshButton.rotation = 0
        }
    }
}
