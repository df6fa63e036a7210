import QtQuick 2.15

// A button in a form ("More setup" by default); a press emits apply(). No output of its own.
Question {
    id: root

    property string text: qsTr("More setup")
    readonly property alias button: button

    outputTag: "empty"

    CorvaneButton {
        id: button
        objectName: "questionButton"
        width: Math.max(120, implicitWidth)
        height: parent.height
        btnText: root.text
        onApply: root.apply()
    }
}
