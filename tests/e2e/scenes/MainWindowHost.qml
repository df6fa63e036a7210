// Hosts the program's own main window, unchanged, for harnesses that need what the window itself
// does not offer: the times of its rendered frames, and a way past the desktop's file dialog to
// the import step behind it. Given to the program as its first argument; the main window is
// created from the resources as a child of this object, so object paths reach it as usual.
import QtQuick 2.15
import QtQuick.Window 2.15

QtObject {
    id: host
    objectName: "windowHost"

    property var window: null
    property string error: ""

    // Frame timing, in milliseconds of Date.now(): the longest gap between two frames since
    // resetFrames(), and the time from mark() to the first frame after it.
    property int frames: 0
    property real lastFrame: 0
    property real longestGap: 0
    property real longestGapAt: 0
    property int gapsOver50: 0
    property real markTime: 0
    property real markToFrame: -1
    // Set true to keep the window drawing without pause, so that a gap means the GUI thread
    // was busy rather than that nothing changed.
    property bool keepDrawing: false

    function resetFrames() {
        frames = 0;
        lastFrame = 0;
        longestGap = 0;
        longestGapAt = 0;
        gapsOver50 = 0;
    }

    function mark() {
        markTime = Date.now();
        markToFrame = -1;
    }

    function frameSwapped() {
        var now = Date.now();
        if (lastFrame > 0 && now - lastFrame > longestGap) {
            longestGap = now - lastFrame;
            longestGapAt = now;
        }
        if (lastFrame > 0 && now - lastFrame > 50)
            gapsOver50 += 1;
        lastFrame = now;
        frames += 1;
        if (markTime > 0 && markToFrame < 0)
            markToFrame = now - markTime;
    }

    // The step the file dialog's acceptance starts; the dialog itself belongs to the desktop.
    function importFromUrl(url) {
        return mainPageCtrl.importDevicesFromUrl(url);
    }

    property Component ticker: Component {
        // One pixel in the window's corner that turns on every frame while asked to (a real
        // value changes at every animation step, so every step asks for a frame).
        Rectangle {
            width: 1
            height: 1
            color: "#000000"
            NumberAnimation on rotation {
                running: host.keepDrawing
                from: 0
                to: 360
                duration: 1000
                loops: Animation.Infinite
            }
        }
    }

    Component.onCompleted: {
        var component = Qt.createComponent("qrc:/src/qml/main.qml");
        if (component.status !== Component.Ready) {
            error = component.errorString();
            console.log("MainWindowHost: " + error);
            return;
        }
        window = component.createObject(host);
        if (!window) {
            error = "cannot create the main window";
            console.log("MainWindowHost: " + error);
            return;
        }
        window.frameSwapped.connect(frameSwapped);
        ticker.createObject(window.contentItem);
    }
}
