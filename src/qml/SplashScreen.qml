import QtQuick 2.15
import QtQuick.Window 2.15
import "js/WindowSize.js" as WindowSize

// Shown while the alias addresses are being added to the network adapters. It starts that work
// when it becomes visible and goes away, emitting finished, once the work has ended either way.
Window {
    id: splash

    objectName: "splashScreen"
    title: "Ardmere"
    flags: Qt.SplashScreen
    modality: Qt.WindowModal
    color: "#000000"
    transientParent: hostWindow
    visible: false

    property var hostWindow: null
    property var aliasCtrl: null
    property int desktopWidth: Screen.desktopAvailableWidth
    property int desktopHeight: Screen.desktopAvailableHeight
    property string noticeText: qsTr("Preparing network adapters")

    // A big desktop gets the image at twice the size; every position scales with it.
    readonly property bool doubleSize: WindowSize.isBigDesktop(desktopWidth, desktopHeight)
    readonly property int factor: doubleSize ? 2 : 1
    readonly property size imageSize: Qt.size(480 * factor, 300 * factor)
    property bool done: false

    signal finished

    width: imageSize.width
    height: imageSize.height
    x: hostWindow ? hostWindow.x + Math.round((hostWindow.width - width) / 2) : 0
    y: hostWindow ? hostWindow.y + Math.round((hostWindow.height - height) / 2) : 0

    function begin() {
        done = false;
        if (aliasCtrl) {
            aliasCtrl.addAliasIp();
        } else {
            console.log("Failed to add alias IP");
            Qt.callLater(finish);
        }
    }

    function finish() {
        if (done)
            return;
        done = true;
        close();
        finished();
    }

    onVisibleChanged: {
        if (visible)
            begin();
    }

    Connections {
        target: splash.aliasCtrl
        ignoreUnknownSignals: true
        function onAliasIpAddFailed() {
            console.log("Failed to add alias IP");
            splash.finish();
        }
        function onAddAliasIpFinished() {
            splash.finish();
        }
    }

    Image {
        objectName: "splashImage"
        anchors.fill: parent
        source: splash.doubleSize ? "qrc:/src/qml/res/images/Splash_Image_2x.png"
                                  : "qrc:/src/qml/res/images/Splash_Image.png"
    }

    AnimatedSprite {
        objectName: "splashLoading"
        x: 114 * splash.factor
        y: 110 * splash.factor
        width: 30 * splash.factor
        height: 30 * splash.factor
        source: "qrc:/src/qml/res/images/Splash_Loading.png"
        frameCount: 10
        frameRate: 15
        frameWidth: 60
        frameHeight: 60
        interpolate: false
        running: splash.visible
    }

    Text {
        objectName: "splashLoadingText"
        x: 152 * splash.factor
        y: 110 * splash.factor
        height: 30 * splash.factor
        verticalAlignment: Text.AlignVCenter
        text: qsTr("Loading...")
        color: "#ffffff"
        font.pixelSize: 12 * splash.factor
    }

    Text {
        objectName: "splashNotice"
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.rightMargin: 16 * splash.factor
        anchors.bottomMargin: 12 * splash.factor
        text: splash.noticeText
        color: "#bbd0d6"
        font.pixelSize: 12 * splash.factor
    }
}
