// A scene of its own for the remote-control end-to-end tests: objects with known names, a mouse
// pad that records what it saw, a text input, and items made by a repeater and by views.
import QtQuick 2.15
import QtQuick.Window 2.15

Window {
    id: root
    objectName: "sceneWindow"
    visible: true
    width: 480
    height: 360
    title: "Remote control scene"
    color: "#f4f4f4"

    property string log: ""
    property string note: ""
    signal ping()

    function mark(tag) {
        log = log + tag + ";"
        return log
    }
    function makeRecord() {
        return { name: "record", numbers: [1, 2, 3], nested: { ok: true } }
    }
    function padItem() { return pad }
    function emitPing() { ping() }
    function pingAfter(ms) {
        pingTimer.interval = ms
        pingTimer.restart()
    }
    function resetPad() {
        pad.clicks = 0
        pad.doubleClicks = 0
        pad.presses = 0
        pad.releases = 0
        pad.lastX = -1
        pad.lastY = -1
        pad.lastButton = 0
        pad.lastModifiers = 0
        pad.moveX = -1
        pad.moveY = -1
        input.text = ""
        input.forceActiveFocus()
    }

    Timer { id: pingTimer; objectName: "pingTimer"; onTriggered: root.ping() }

    Rectangle {
        id: pad
        objectName: "pad"
        x: 40
        y: 30
        width: 200
        height: 100
        color: area.pressed ? "#2a70b9" : "#4a90d9"
        property int clicks: 0
        property int doubleClicks: 0
        property int presses: 0
        property int releases: 0
        property real lastX: -1
        property real lastY: -1
        property int lastButton: 0
        property int lastModifiers: 0
        property real moveX: -1
        property real moveY: -1
        property bool dragging: area.pressed

        Text { anchors.centerIn: parent; text: "pad " + pad.clicks; color: "white" }

        MouseArea {
            id: area
            objectName: "padArea"
            anchors.fill: parent
            hoverEnabled: true
            acceptedButtons: Qt.AllButtons
            onClicked: {
                pad.clicks++
                pad.lastX = mouse.x
                pad.lastY = mouse.y
                pad.lastButton = mouse.button
                pad.lastModifiers = mouse.modifiers
            }
            onDoubleClicked: pad.doubleClicks++
            onPressed: pad.presses++
            onReleased: pad.releases++
            onPositionChanged: {
                pad.moveX = mouse.x
                pad.moveY = mouse.y
            }
        }
    }

    Rectangle {
        x: 40
        y: 150
        width: 200
        height: 30
        border.color: "#888888"
        TextInput {
            id: input
            objectName: "input"
            anchors.fill: parent
            anchors.margins: 4
            focus: true
        }
    }

    Row {
        objectName: "row"
        x: 260
        y: 30
        spacing: 4
        Repeater {
            objectName: "rep"
            model: 3
            Rectangle {
                objectName: "cell" + index
                width: 30
                height: 30
                color: "#d98a4a"
                property int number: index * 10
            }
        }
    }

    ListView {
        objectName: "list"
        x: 260
        y: 80
        width: 200
        height: 120
        clip: true
        model: 4
        delegate: Item {
            objectName: "entry" + index
            width: 200
            height: 28
            Text { objectName: "label"; text: "entry " + index }
        }
    }

    GridView {
        objectName: "grid"
        x: 260
        y: 210
        width: 200
        height: 120
        cellWidth: 50
        cellHeight: 50
        model: 6
        delegate: Rectangle {
            objectName: "tile" + index
            width: 46
            height: 46
            color: "#6ab04c"
            property string caption: "tile " + index
        }
    }

    Component.onCompleted: {
        requestActivate()
        input.forceActiveFocus()
    }
}
