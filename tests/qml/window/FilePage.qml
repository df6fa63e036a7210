import QtQuick 2.15
import "qrc:/src/qml/Common"
import "Creations.js" as Creations

// A page the switcher makes from its file; it counts how often it was made.
TopLevelPage {
    pageName: "FilePage"
    topMargin: 60
    Component.onCompleted: Creations.note("FilePage")
}
