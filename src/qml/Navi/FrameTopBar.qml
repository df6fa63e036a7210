import QtQuick 2.15
import QtQuick.Controls 2.15

// The window's own title buttons (the window has no system frame): minimise and close.
Row {
    id: topBar

    signal minimizeClicked
    signal closeClicked

    FrameButton {
        objectName: "minimizeButton"
        tipText: qsTr("Minimize")
        normalSource: "qrc:/src/qml/res/images/Frame_Minimize_normal.png"
        hoveredSource: "qrc:/src/qml/res/images/Frame_Minimize_hovered.png"
        pressedSource: "qrc:/src/qml/res/images/Frame_Minimize_pressed.png"
        onClicked: topBar.minimizeClicked()
    }
    FrameButton {
        objectName: "closeButton"
        tipText: qsTr("Close")
        hoverColor: "#c0392b"
        normalSource: "qrc:/src/qml/res/images/Frame_Close_normal.png"
        hoveredSource: "qrc:/src/qml/res/images/Frame_Close_hovered.png"
        pressedSource: "qrc:/src/qml/res/images/Frame_Close_pressed.png"
        onClicked: topBar.closeClicked()
    }
}
