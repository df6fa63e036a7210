import QtQuick 2.15

// A page of the main window: a status bar along the top and the content below it. While the page
// is shown, the window's drag strip is topMargin high.
Page {
    id: topLevelPage

    property int topMargin: 100
    property int statusBarHeight: 100
    property alias statusBar: statusBarArea
    property alias statusBarColorTop: gradientTop.color
    property alias statusBarColorBottom: gradientBottom.color

    Rectangle {
        id: statusBarArea
        objectName: "statusBar"
        width: parent.width
        height: topLevelPage.statusBarHeight
        gradient: Gradient {
            GradientStop {
                id: gradientTop
                position: 0
                color: "#1b8b9d"
            }
            GradientStop {
                id: gradientBottom
                position: 1
                color: "#0f3a51"
            }
        }
    }
}
